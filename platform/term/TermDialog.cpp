#include "platform/term/TermDialog.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kBarWidth = 40;

// A caption as shown: '&' marks a shortcut letter, "&&" is one '&'.
std::string WithoutShortcutMarks(const std::string& caption)
{
    std::string text;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

} // namespace

void CTermProgress::Show(bool show)
{
    CControlState::Show(show);
    if (show)
        Draw();
    else
        m_terminal.EndBar();
}

void CTermProgress::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
    Draw();
}

void CTermProgress::SetPos(int pos)
{
    m_pos = pos;
    Draw();
}

void CTermProgress::Draw()
{
    // Before the dialog is shown (the setup pass) the bar leaves no trace.
    if (!m_owner.IsVisible() || !IsVisible())
        return;
    const int span = m_upper - m_lower;
    const int done = span <= 0 ? 100 : std::clamp((m_pos - m_lower) * 100 / span, 0, 100);
    const int filled = done * kBarWidth / 100;
    m_terminal.DrawBar("[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " +
                       std::to_string(done) + "%");
}

void CTermDialog::Create(const DialogTemplate& dialog, IDialogHandler& handler)
{
    m_handler = &handler;
    m_caption = dialog.caption;
    m_window = {0, 0, dialog.width, dialog.height};
    for (const DialogItem& item : dialog.items) {
        std::unique_ptr<IControl> control;
        if (item.kind == DialogItemKind::ProgressBar)
            control = std::make_unique<CTermProgress>(*this, m_terminal);
        else
            control = std::make_unique<CTermControl>();
        control->SetText(item.text);
        control->Show(item.visible);
        control->Move({item.x, item.y, item.x + item.width, item.y + item.height});
        if (item.kind == DialogItemKind::PushButton && !m_buttonId)
            m_buttonId = item.id;
        m_items[item.id] = {item.kind, std::move(control)};
    }
    handler.OnInitDialog();
    if (!m_ended)
        Show(true);
}

int CTermDialog::RunModalLoop()
{
    if (m_ended)
        return m_result;
    std::string answer;
    if (m_terminal.Mode() == TermMode::Text &&
        !m_terminal.Ask("Press Enter to " + ButtonCaption() + ", or Ctrl+C to cancel ", answer)) {
        m_handler->OnCancel();
        return m_result;
    }
    m_handler->OnCommand(m_buttonId);
    if (!m_ended)
        EndModalLoop(kAnswerOk);
    return m_result;
}

void CTermDialog::EndModalLoop(int result)
{
    m_ended = true;
    m_result = result;
    m_visible = false;
}

IControl* CTermDialog::GetItem(int id)
{
    const auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second.control.get();
}

IProgressCtrl* CTermDialog::GetProgressCtrl(int id)
{
    return dynamic_cast<IProgressCtrl*>(GetItem(id));
}

void CTermDialog::Show(bool show)
{
    const bool shown = show && !m_visible;
    m_visible = show;
    if (shown && m_terminal.Mode() == TermMode::Text)
        Draw();
}

std::string CTermDialog::ButtonCaption() const
{
    const auto it = m_items.find(m_buttonId);
    return it == m_items.end() ? std::string("continue") : WithoutShortcutMarks(it->second.control->GetText());
}

void CTermDialog::Draw()
{
    if (!m_caption.empty()) {
        m_terminal.Line(m_caption);
        m_terminal.Line(std::string(m_caption.size(), '='));
    }
    // The visible texts in reading order: top to bottom, then left to right.
    std::vector<const CItem*> shown;
    for (const auto& [id, item] : m_items) {
        if (item.control->IsVisible())
            shown.push_back(&item);
    }
    std::stable_sort(shown.begin(), shown.end(), [](const CItem* a, const CItem* b) {
        const CRect ra = a->control->GetRect();
        const CRect rb = b->control->GetRect();
        return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
    });
    for (const CItem* item : shown) {
        std::string text = item->control->GetText();
        std::erase(text, '\r');
        switch (item->kind) {
        case DialogItemKind::Label:
        case DialogItemKind::SunkenLabel:
            // Shown as the window shows it, leading blanks and all.
            if (text.find_first_not_of(" \t\n") != std::string::npos)
                m_terminal.Line(text);
            break;
        case DialogItemKind::ReadOnlyEdit:
            m_terminal.Line("");
            m_terminal.Line(text);
            m_terminal.Line("");
            break;
        case DialogItemKind::EtchedLine:
            m_terminal.Line(std::string(kBarWidth + 7, '-'));
            break;
        default: // buttons become the prompt; rectangles and bars show nothing here
            break;
        }
    }
}
