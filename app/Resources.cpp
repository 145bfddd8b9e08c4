#include "app/Resources.h"

#include "app/Resources.def"

const DialogTemplate& SfxDialogTemplate()
{
#define SFX_ITEM(id, kind, text, x, y, width, height, visible) \
    {id, DialogItemKind::kind, text, x, y, width, height, (visible) != 0},
    static const DialogTemplate dialog{
        SFX_DIALOG_CAPTION,
        SFX_DIALOG_WIDTH,
        SFX_DIALOG_HEIGHT,
        {SFX_DIALOG_ITEMS(SFX_ITEM)},
    };
#undef SFX_ITEM
    return dialog;
}

const MenuTemplate& SfxMenu()
{
    static const MenuTemplate menu = [] {
        MenuTemplate built;
#define SFX_POPUP(caption) built.push_back({caption, {}});
#define SFX_ITEM(id, caption) built.back().items.push_back({id, caption});
// The key's token is upper case; the menu template holds the lower-case letter.
#define SFX_KEY_ITEM(id, caption, key, shift) \
    built.back().items.push_back({id, caption, static_cast<char>(#key[0] - 'A' + 'a'), (shift) != 0});
#define SFX_SEPARATOR() built.back().items.push_back({0, ""});
#define SFX_END_POPUP()
        SFX_MENU_ITEMS(SFX_POPUP, SFX_ITEM, SFX_KEY_ITEM, SFX_SEPARATOR, SFX_END_POPUP)
#undef SFX_POPUP
#undef SFX_ITEM
#undef SFX_KEY_ITEM
#undef SFX_SEPARATOR
#undef SFX_END_POPUP
        return built;
    }();
    return menu;
}
