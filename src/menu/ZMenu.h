#pragma once

#include "foundation/ZHashedString.h"

// A screen of the menu framework, owned by the menu manager once opened.
// The built-in menus derive from it; until they exist the base game's menu
// factories make plain menus named after the menu they stand for.
class ZMenu {
public:
    explicit ZMenu(ZHashedString name) : m_name(name) {}
    virtual ~ZMenu() = default;
    ZMenu(const ZMenu&) = delete;
    ZMenu& operator=(const ZMenu&) = delete;

    ZHashedString GetName() const { return m_name; }

private:
    ZHashedString m_name;
};
