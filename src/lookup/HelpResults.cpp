#include "lookup/HelpResults.h"

namespace orvane {

QString HelpResult1;
QString HelpResult2;
QString HelpResult3;
QString HelpResult4;
QString HelpResult5;
QString HelpResult6;
QString HelpResult7;

QString& HelpResult(int index) {
    static QString outOfRange;
    switch (index) {
    case 1:
        return HelpResult1;
    case 2:
        return HelpResult2;
    case 3:
        return HelpResult3;
    case 4:
        return HelpResult4;
    case 5:
        return HelpResult5;
    case 6:
        return HelpResult6;
    case 7:
        return HelpResult7;
    default:
        outOfRange.clear();
        return outOfRange;
    }
}

void ClearHelpResults() {
    for (int i = 1; i <= 7; ++i)
        HelpResult(i).clear();
}

} // namespace orvane
