#include "widgets/WindowLook.h"

namespace {
QFont makeFont(const QStringList& families, double pointSize, bool bold)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
} // namespace

QFont SansSerifFont(double pointSize, bool bold)
{
    return makeFont({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"}, pointSize,
                    bold);
}

QFont ArialFont(double pointSize, bool bold)
{
    return makeFont({"Arial", "Liberation Sans", "Arimo", "DejaVu Sans"}, pointSize, bold);
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (const char* file : {":/ui/tolvane-16.png", ":/ui/tolvane-32.png", ":/ui/tolvane-64.png"})
        icon.addFile(file);
    return icon;
}
