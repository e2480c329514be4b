#pragma once

#include <QPointer>
#include <QString>
#include <QValidator>

class QLineEdit;

// Keeps the sample-rate box to its rules whatever way the user's text comes
// in (typed, pasted, dropped, composed): see ReadingText::rateBoxEdit. The
// program's own texts (the spin control's "1,000") are written with
// showProgramText, which the rules leave alone.
class RateValidator final : public QValidator {
    Q_OBJECT
public:
    // Installs itself on box, which it follows to know the text an edit
    // started from.
    explicit RateValidator(QLineEdit *box);

    State validate(QString &input, int &pos) const override;
    void showProgramText(const QString &text);

private:
    QPointer<QLineEdit> m_box;
    QString m_shown; // the box's text before the edit being validated
};
