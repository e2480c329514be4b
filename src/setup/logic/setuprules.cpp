#include "setup/logic/setuprules.h"

namespace SetupRules {

namespace {

const QString EnglishCaption = QStringLiteral("Kelvora V0.1 Error Information");
const QString ChineseCaption = QStringLiteral("Kelvora V0.1错误信息");

Message measuringRefusal(Button button)
{
    if (button == Button::Ok)
        return {
            QStringLiteral("Sorry!you can not change unit during measuring.!\rStop measuring first,Please!"),
            EnglishCaption};
    return {QStringLiteral("对不起,正在数据测量中不能进行单位设置!\r请先停止测量,再进行该操作!"),
            ChineseCaption};
}

Message tableBusyRefusal(Button button)
{
    if (button == Button::Ok)
        return {QStringLiteral(
                    "Sorry!you can not change unit during updating table!\rPlease waiting for a moment."),
                EnglishCaption};
    return {QStringLiteral("对不起,正在进行表格更新不能进行单位设置!\r请梢后再进行该操作."), ChineseCaption};
}

} // namespace

UnitDecision unitChange(const UnitSituation &situation, Button button)
{
    if (situation.unitCelsius == situation.celsiusSelected)
        return {UnitAction::Keep, {}};
    if (situation.measuring)
        return {UnitAction::Refuse, measuringRefusal(button)};
    if (situation.tableBusy)
        return {UnitAction::Refuse, tableBusyRefusal(button)};
    return {UnitAction::Change, {}};
}

PortAction portChange(const QString &typed, const QString &serialPort, bool deviceBusy)
{
    if (typed == serialPort)
        return PortAction::Keep;
    return deviceBusy ? PortAction::Refuse : PortAction::Change;
}

Message portBusyMessage()
{
    return {QStringLiteral("串口正被其它窗口使用！\r请关闭其它窗口应用程序"), ChineseCaption};
}

} // namespace SetupRules
