// The script editor's text area: colours command and key words, section
// headers, comments, quoted text and constant words while the user types,
// and holds the editor's document: the file name, the modified flag and the
// "*" that marks unsaved changes at the end of the main window's caption.
#pragma once

#include "platform/Color.h"
#include "platform/Control.h"
#include "platform/MessageBox.h"
#include "platform/TextWidget.h"

#include <cstdint>
#include <string>
#include <vector>

// One colour rule: the keyword that opens a run and how the run ends.
struct KeywordColor {
    char szKeyword[32];
    // Empty: the run is the keyword itself; "?...": it goes on to the start
    // of the next line; anything else: it goes on through the next
    // occurrence of this closing text.
    char szEnd[32];
    Color crColor;
    std::int32_t bBold;     // exactly 1: the run is bold as well
    std::int32_t bTrimLast; // the run stops one character short
};

class CColorEditCtrl {
public:
    CColorEditCtrl();
    CColorEditCtrl(const CColorEditCtrl&) = delete;
    CColorEditCtrl& operator=(const CColorEditCtrl&) = delete;

    // Binds the control to its widget, the main window whose caption shows
    // the file name, and the message boxes of the save prompt. From here on
    // every change of the widget's text runs OnChange. Every other operation
    // needs this done first.
    void Attach(ITextWidget& widget, IControl& ownerWnd, IMessageBox& messageBox);

    // Appends one rule per keyword of a comma-separated list.
    void AddKeywords(const std::string& keywords, Color color, const std::string& end, int bold);
    // Recolours [start, end); an end of -1 is the end of the text.
    void ColorRange(int start, int end);
    // Recolours the whole text, unless the widget is hidden.
    void ColorAll();
    // Replaces the whole text (a change like any other) and recolours it.
    void SetText(const std::string& text);
    // The change handler: marks the document modified and recolours the
    // caret's line.
    void OnChange();

    // 1 when the file was loaded, 0 when it could not be read; the document
    // is then unchanged.
    int LoadFile(const std::string& path);
    // An empty path saves to m_strFileName. 1 when saved. 0 when the file
    // could not be created (m_strFileName is then emptied) or written.
    int SaveFile(const std::string& path);
    // Offers to save a modified document, then empties the editor. 0 when
    // the document was kept: the user cancelled, or the save failed.
    int CloseFile();
    // File name and extension of a path, without drive and folder.
    static std::string FileNameFromPath(const std::string& path);

    // Puts the caret at the start of a line (from 1) and scrolls it into view.
    void GoToLine(int line);

    // The whole text with CR LF line breaks, as a script file holds it.
    std::string GetText() const;
    bool GetModify() const;
    const std::vector<KeywordColor>& GetRules() const { return m_arrKeywords; }

    // The current script file name, exactly as last loaded or saved; it may
    // be relative to the current folder.
    std::string m_strFileName;

private:
    enum class SaveResult { Saved, CannotCreate, CannotWrite };
    SaveResult WriteFile(const std::string& path);
    void SetCaption(const std::string& text);

    std::vector<KeywordColor> m_arrKeywords;
    TextFormat m_cfDefault;
    IControl* m_pOwnerWnd = nullptr;
    ITextWidget* m_pWidget = nullptr;
    IMessageBox* m_pMessageBox = nullptr;
};
