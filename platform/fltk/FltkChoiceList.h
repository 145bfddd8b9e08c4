// The list of choices on FLTK: a modal window over the dialog with the
// heading, a list of the items and the buttons "Go to Line" and "Close".
#pragma once

#include "platform/ChoiceList.h"

class CFltkDialog;

class CFltkChoiceList : public IChoiceList {
public:
    explicit CFltkChoiceList(const CFltkDialog& owner) : m_owner(owner) {}

    int Choose(const std::string& caption, const std::string& heading,
               const std::vector<std::string>& items) override;

private:
    const CFltkDialog& m_owner;
};
