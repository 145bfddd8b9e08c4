// The list of choices on Win32: a modal dialog (resource 103) over the main
// dialog with the heading, a list box of the items and the buttons "Go to
// Line" and "Close".
#pragma once

#include "platform/ChoiceList.h"

class CWin32Dialog;

class CWin32ChoiceList : public IChoiceList {
public:
    explicit CWin32ChoiceList(const CWin32Dialog& owner) : m_owner(owner) {}

    int Choose(const std::string& caption, const std::string& heading,
               const std::vector<std::string>& items) override;

private:
    const CWin32Dialog& m_owner;
};
