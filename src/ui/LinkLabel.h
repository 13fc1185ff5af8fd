#pragma once
// A static text control that behaves as a link: drawn underlined in the link
// colour, with the hand cursor; a click opens its own text through the shell,
// after which it is drawn in the visited colour.
#include "ui/GdiHandle.h"
#include "ui/Window.h"

namespace kanne {

class LinkLabel : public Window {
public:
    // Takes over `label`, a static control of a dialog.
    bool attachTo(HWND label);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool visited() const { return visited_; }

private:
    void paint();
    void open();

    FontHandle font_; // the label's font, underlined
    bool pressed_ = false;
    bool visited_ = false;
};

} // namespace kanne
