// A modal window that lists lines of text under a heading and lets the user
// pick one of them (the editor's list of script findings).
#pragma once

#include <string>
#include <vector>

class IChoiceList {
public:
    virtual ~IChoiceList() = default;
    // Shows the items and waits. Returns the index of the item the user
    // picked (double click, or Enter or the "Go to Line" button on the
    // selected item), or -1 when the window was closed without a pick.
    virtual int Choose(const std::string& caption, const std::string& heading,
                       const std::vector<std::string>& items) = 0;
};
