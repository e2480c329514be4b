// The thermometer's replies. The first byte chooses how the rest arrives:
// even, it is one frame for the parser; odd, it is a byte stream read from the
// port in pieces, each a length byte (low 7 bits) and that many bytes, with
// the frame timer firing after a piece whose length byte has its top bit set
// (and once more at the end). The stream goes through the device-link
// module's own receive path and frame tick.
#include "fuzzsupport.h"

#include "devicelink/systemvar.h"
#include "devicelink/thermometerprotocol.h"

namespace {

void checkState(const TSystemVars &v)
{
    Fuzz::require(v.logCount >= 0 && v.logCount <= MaxLogRecords);
    Fuzz::require(v.rxCount >= 0 && v.rxCount <= TForm6::MaxReceiveBytes);
    // Only the upper limits are clamped: a byte below "0" decodes negative.
    Fuzz::require(v.machineMode <= 4);
    Fuzz::require(v.measureMode <= 7);
}

void parseFrame(const QByteArray &frame)
{
    TSystemVars vars;
    const ThermometerProtocol::ReplyKind kind = ThermometerProtocol::parseReply(frame, vars);
    Fuzz::require((kind == ThermometerProtocol::ReplyKind::TooShort) == (frame.size() < 3));
    checkState(vars);
}

void receiveStream(const QByteArray &stream)
{
    static TForm6 *link = new TForm6; // one module for the whole run, like the program
    TSystemVars &v = SystemVars;
    v.clearReceived();
    v.commState = CommMeasuring;
    qsizetype at = 0;
    while (at < stream.size()) {
        const auto control = static_cast<quint8>(stream.at(at++));
        const QByteArray piece = stream.mid(at, control & 0x7F);
        at += piece.size();
        link->Receive(piece);
        if (control & 0x80)
            link->Timer2Timer();
        checkState(v);
    }
    link->Timer2Timer();
    Fuzz::require(v.rxCount == 0);
    checkState(v);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray rest = Fuzz::bytesOf(data + 1, size - 1);
    if (data[0] % 2 == 0)
        parseFrame(rest);
    else
        receiveStream(rest);
    return 0;
}
