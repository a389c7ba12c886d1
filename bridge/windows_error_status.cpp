#include "windows_error_status.h"

namespace clser {

int errorNumberFromWindowsError(uint32_t e)
{
    switch (e) {
    case 0:
        return 0;
    case 2: case 3: case 126:
        return 2;
    case 4: case 113:
        return 24;
    case 5:
        return 13;
    case 6:
        return 9;
    case 8: case 84:
        return 12;
    case 31: case 1100:
        return 19;
    case 39: case 112:
        return 28;
    case 54: case 170: case 231:
        return 16;
    case 80: case 142:
        return 17;
    case 87: case 114: case 123: case 124: case 160:
        return 22;
    case 109: case 230: case 232: case 233:
        return 32;
    case 119: case 120:
        return 40;
    case 121: case 1460:
        return 138;
    case 127:
        return 3;
    case 128:
        return 10;
    case 995:
        return 4;
    case 1117:
        return 5;
    default:
        break;
    }
    if (e >= 1450 && e <= 1455)
        return 12;
    return 14;
}

} // namespace clser
