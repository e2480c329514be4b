#include "measure/ratevalidator.h"

#include "measure/logic/readingtext.h"

#include <QLineEdit>

#include <algorithm>

RateValidator::RateValidator(QLineEdit *box) : QValidator(box), m_box(box), m_shown(box->text())
{
    box->setValidator(this);
    connect(box, &QLineEdit::textChanged, this, [this](const QString &text) { m_shown = text; });
}

QValidator::State RateValidator::validate(QString &input, int &pos) const
{
    const QString accepted = ReadingText::rateBoxEdit(m_shown, input);
    if (accepted != input) {
        // The cursor stays behind what the edit brought in.
        pos = std::clamp(int(accepted.size() - (input.size() - pos)), 0, int(accepted.size()));
        input = accepted;
    }
    return Acceptable;
}

void RateValidator::showProgramText(const QString &text)
{
    if (!m_box)
        return;
    // The box does not validate while it has no validator.
    m_box->setValidator(nullptr);
    m_box->setText(text);
    m_box->setValidator(this);
}
