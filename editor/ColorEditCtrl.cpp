#include "editor/ColorEditCtrl.h"

#include "platform/Files.h"
#include "script/Paths.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr char kCaptionPrefix[] = "Editor - ";
constexpr char kUntitled[] = "untitled.ini";
constexpr std::size_t kBlockSize = 4096;

// Copies at most 31 characters, so the buffer always ends in a NUL.
void CopyField(char (&field)[32], std::string_view text)
{
    const std::size_t count = std::min(text.size(), sizeof field - 1);
    std::memcpy(field, text.data(), count);
    field[count] = '\0';
}

} // namespace

CColorEditCtrl::CColorEditCtrl()
{
    AddKeywords("ExtractFile:,To:,OutputFile=,WindowTitle=,Title=,Readme=,WriteToFile:,SetRegDword:,"
                "Mode:,SetRegString:,Run:,MoveFile:,DeleteFile:,ExtractAll:,MessageBox:,OK=,Size=,"
                "Text:,Value:,Param:,Query:,Key:,Icon:,Status=",
                0xFF0000, "", 0);
    // Not 0: a colour is applied only where it differs from the current one,
    // and headers must get their bold on default black text too.
    AddKeywords("[", 0x000001, "]", 1);
    AddKeywords(";", 0x0B6F0B, "?", 0);
    AddKeywords("\"", 0xFF8000, "\"", 0);
    AddKeywords("MB_ICONHAND,MB_ICONQUESTION,MB_ICONEXCLAMATION,HKEY_CURRENT_USER,HKEY_CLASSES_ROOT,"
                "HKEY_LOCAL_MACHINE,CURDIR,WINDIR,DSKDIR,CREATE",
                0x1A87BA, "", 0);
    m_strFileName = kUntitled;
}

void CColorEditCtrl::Attach(ITextWidget& widget, IControl& ownerWnd, IMessageBox& messageBox)
{
    m_pWidget = &widget;
    m_pOwnerWnd = &ownerWnd;
    m_pMessageBox = &messageBox;
    m_pWidget->SetChangeHandler([this] { OnChange(); });
}

void CColorEditCtrl::AddKeywords(const std::string& keywords, Color color, const std::string& end, int bold)
{
    KeywordColor rule{};
    rule.bTrimLast = keywords.find_first_of(":=") != std::string::npos ? 1 : 0;
    CopyField(rule.szEnd, end);
    rule.crColor = color;
    rule.bBold = bold;

    // An empty keyword would match everywhere and colour nothing, so empty
    // pieces add no rule.
    std::string_view rest = keywords;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        const std::string_view piece = rest.substr(0, comma);
        if (!piece.empty()) {
            CopyField(rule.szKeyword, piece);
            m_arrKeywords.push_back(rule);
        }
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
}

void CColorEditCtrl::ColorRange(int start, int end)
{
    ITextWidget& widget = *m_pWidget;
    widget.HideSelection(true);
    m_cfDefault = widget.GetDefaultFormat();
    const TextSpan saved = widget.GetSel();

    const int length = widget.GetTextLength();
    if (end == -1 || end > length)
        end = length;
    start = std::clamp(start, 0, end);

    widget.SetSel({start, end});
    widget.SetSelectionFormat(m_cfDefault);
    const std::string text = widget.GetSelText();

    for (const KeywordColor& rule : m_arrKeywords) {
        const std::string_view keyword = rule.szKeyword;
        const std::string_view closing = rule.szEnd;
        std::size_t p = text.find(keyword);
        while (p != std::string::npos) {
            const int a = start + static_cast<int>(p);
            int e = a + static_cast<int>(keyword.size());
            bool found = true;
            if (!closing.empty() && closing[0] == '?') {
                const int next = widget.LineIndex(widget.LineFromChar(a) + 1);
                e = next == -1 ? length : next;
            } else if (!closing.empty()) {
                const std::size_t q = text.find(closing, e - start);
                if (q == std::string::npos)
                    found = false; // an opener without its closer stays as it is
                else
                    e = start + static_cast<int>(q + closing.size());
            }
            if (found) {
                if (rule.bTrimLast)
                    --e;
                e = std::min(e, end);
                widget.SetSel({a, e});
                TextFormat format = widget.GetSelectionFormat();
                if (format.color != rule.crColor) {
                    format.mask |= kFormatColor;
                    format.effects = 0;
                    if (rule.bBold == 1) {
                        format.effects = kEffectBold;
                        format.mask |= kFormatBold;
                    }
                    format.color = rule.crColor;
                }
                widget.SetSelectionFormat(format);
            }
            // Always move on, also for a one-character keyword that is
            // trimmed to nothing.
            p = text.find(keyword, static_cast<std::size_t>(std::max(e, a + 1) - start));
        }
    }

    widget.SetSel(saved);
    widget.HideSelection(false);
}

void CColorEditCtrl::ColorAll()
{
    ITextWidget& widget = *m_pWidget;
    if (!widget.IsVisible())
        return;
    widget.SetRedraw(false);
    ColorRange(0, -1);
    widget.SetRedraw(true);
    widget.RedrawNow();
}

void CColorEditCtrl::SetText(const std::string& text)
{
    m_pWidget->SetText(text);
    ColorAll();
}

void CColorEditCtrl::OnChange()
{
    ITextWidget& widget = *m_pWidget;
    widget.SetModify(true);
    const std::string caption = m_pOwnerWnd->GetText();
    if (caption.empty() || caption.back() != '*')
        SetCaption(caption + "*");
    const int lineStart = widget.LineIndex(-1);
    ColorRange(lineStart, lineStart + widget.LineLength(-1));
}

int CColorEditCtrl::LoadFile(const std::string& path)
{
    CFile file;
    if (!file.Open(path, CFile::Mode::Read))
        return 0;
    // The whole file is read before the text is touched, so a read error
    // leaves the document as it was.
    std::string text;
    char block[kBlockSize];
    for (;;) {
        const std::int64_t count = file.Read(block, sizeof block);
        if (count < 0) {
            m_pMessageBox->Show("Error : Cannot read " + path + ".", "Editor", kBoxOk | kBoxIconError);
            return 0;
        }
        if (count == 0)
            break;
        text.append(block, static_cast<std::size_t>(count));
    }
    file.Close();

    m_pWidget->SetText(text);
    // Only now: the replacement above has marked the document modified.
    m_pWidget->SetModify(false);
    SetCaption(kCaptionPrefix + FileNameFromPath(path));
    m_strFileName = path;
    ColorAll();
    return 1;
}

CColorEditCtrl::SaveResult CColorEditCtrl::WriteFile(const std::string& path)
{
    // Replaced whole, so a save that fails half-way (a full disk) leaves the
    // script as it was on disk instead of cut short.
    const ReplaceResult result = ReplaceFileContents(path, GetText());
    if (result == ReplaceResult::CannotCreate) {
        m_strFileName.clear();
        return SaveResult::CannotCreate;
    }
    if (result == ReplaceResult::CannotWrite) {
        m_pMessageBox->Show("Error : Cannot write " + path + ".", "Editor", kBoxOk | kBoxIconError);
        return SaveResult::CannotWrite;
    }

    m_pWidget->SetModify(false);
    SetCaption(kCaptionPrefix + FileNameFromPath(path));
    m_strFileName = path;
    return SaveResult::Saved;
}

int CColorEditCtrl::SaveFile(const std::string& path)
{
    return WriteFile(path.empty() ? m_strFileName : path) == SaveResult::Saved ? 1 : 0;
}

int CColorEditCtrl::CloseFile()
{
    if (m_pWidget->GetModify()) {
        const std::string name = m_strFileName;
        const int answer =
            m_pMessageBox->Show("Save changes to\n" + name, "Editor", kBoxYesNoCancel | kBoxIconQuestion);
        if (answer == kAnswerCancel)
            return 0;
        if (answer == kAnswerYes) {
            // A save that fails keeps the document: closing it would lose
            // the text the user just asked to keep.
            const SaveResult result = WriteFile(name);
            if (result == SaveResult::CannotCreate)
                m_pMessageBox->Show("Error : Cannot save " + name + ".", "Editor", kBoxOk | kBoxIconError);
            if (result != SaveResult::Saved)
                return 0;
        }
    }
    m_pWidget->SetModify(false);
    SetText("");
    SetCaption(std::string(kCaptionPrefix) + kUntitled + "*");
    m_strFileName = kUntitled;
    return 1;
}

std::string CColorEditCtrl::FileNameFromPath(const std::string& path)
{
    return GetFileNamePart(path);
}

std::string CColorEditCtrl::GetText() const
{
    return m_pWidget->GetText();
}

bool CColorEditCtrl::GetModify() const
{
    return m_pWidget->GetModify();
}

void CColorEditCtrl::SetCaption(const std::string& text)
{
    m_pOwnerWnd->SetText(text);
}

void CColorEditCtrl::GoToLine(int line)
{
    // A line past the end (the text changed since the check) is the last one.
    int pos = m_pWidget->LineIndex(std::max(0, line - 1));
    if (pos < 0)
        pos = m_pWidget->GetTextLength();
    m_pWidget->SetSel({pos, pos});
}
