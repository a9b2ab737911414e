// The menu window's seven option slots, from the top: the one table of the
// ids of each slot's text and bullet, for the menu window and the tools that
// work it.
#pragma once

#include "resources/resource.h"

namespace menu {

const int kSlots = 7;

struct SlotControls {
    int option;
    int bullet;
};

constexpr SlotControls kSlotControls[kSlots] = {
    {IDC_OPTION1, IDC_BULLET1}, {IDC_OPTION2, IDC_BULLET2}, {IDC_OPTION3, IDC_BULLET3},
    {IDC_OPTION4, IDC_BULLET4}, {IDC_OPTION5, IDC_BULLET5}, {IDC_OPTION6, IDC_BULLET6},
    {IDC_OPTION7, IDC_BULLET7},
};

}  // namespace menu
