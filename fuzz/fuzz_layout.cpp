// The data sheet's layout file: any text either parses or is refused with
// ReportLayoutError; a parsed layout holds finite sizes only and fills in
// its footer for any page.
#include "fuzzsupport.h"

#include "output/logic/reportlayout.h"

#include <cmath>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const ReportLayout layout =
            ReportLayout::parse(Fuzz::bytesOf(data, size), QStringLiteral("fuzz.rav"));
        Fuzz::require(std::isfinite(layout.fontPointSize) && std::isfinite(layout.titlePointSize));
        for (double margin : {layout.marginsMm.left(), layout.marginsMm.top(), layout.marginsMm.right(),
                              layout.marginsMm.bottom()})
            Fuzz::require(std::isfinite(margin));
        for (const ReportLayout::Column &column : layout.columns)
            Fuzz::require(std::isfinite(column.widthMm));
        layout.footerText(1, 1);
        layout.footerText(12345, 99999);
    } catch (const ReportLayoutError &) {
    }
    return 0;
}
