#include "installer/SetupScreen.h"

#include "installer/Registry.h"
#include "script/StrUtil.h"

namespace {

void Place(IControl& control, int x, int y, int cx, int cy)
{
    control.Move({x, y, x + cx, y + cy});
}

} // namespace

std::string ReadmeText(const std::string& value)
{
    std::string text = value;
    str::ReplaceAll(text, "\\n", "\r\n");
    str::ReplaceAll(text, "\\t", "\t");
    return text;
}

CWindowSize ParseSize(const std::string& value)
{
    const std::size_t comma = value.find(',');
    if (comma == std::string::npos) {
        const int side = AtoI(value);
        return {side, side};
    }
    return {AtoI(value.substr(0, comma)), AtoI(value.substr(comma + 1))};
}

CRect ReadmeRect(int w, int h)
{
    return {12, 63, w - 12, h - 51};
}

void LayoutControls(CSetupScreen& screen, bool editorMode)
{
    const CRect client = screen.dialog.GetClientArea();
    const int w = client.Width();
    const int h = client.Height();
    if (!editorMode) {
        Place(screen.title, 0, 0, w, 51);
        screen.readme.Move(ReadmeRect(w, h));
        Place(screen.separator, 0, h - 40, w, 3);
        Place(screen.status, 12, h - 30, w - 106, 23);
        Place(screen.progress, 12, h - 30, w - 106, 23);
        Place(screen.applyButton, w - 82, h - 32, 70, 27);
    } else {
        Place(screen.editor, 12, 12, w - 24, h - 51);
        Place(screen.status, 12, h - 30, w - 24, 23);
    }
}
