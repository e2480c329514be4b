// The data sheet's layout file: any text either parses or is refused with
// ReportLayoutError; a parsed layout fills in its footer for any page.
#include "fuzzsupport.h"

#include "output/logic/reportlayout.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const ReportLayout layout = ReportLayout::parse(Fuzz::bytesOf(data, size), QStringLiteral("fuzz.rav"));
        layout.footerText(1, 1);
        layout.footerText(12345, 99999);
    } catch (const ReportLayoutError &) {
    }
    return 0;
}
