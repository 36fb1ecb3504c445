#include "user/window_dcs.h"

#include <algorithm>

#include "gdi/gdi_internal.h"

namespace user {

WindowDcs::~WindowDcs() {
    for (HDC hdc : dcs_) gdi::release_window_dc(hdc);
}

HDC WindowDcs::hand_out(gdi::Surface *surface) {
    dcs_.reserve(dcs_.size() + 1);  // so that a context made is never lost to a failed push_back
    HDC hdc = gdi::create_window_dc(surface);
    if (hdc) dcs_.push_back(hdc);
    return hdc;
}

bool WindowDcs::take_back(HDC hdc) {
    auto it = std::find(dcs_.begin(), dcs_.end(), hdc);
    if (it == dcs_.end()) return false;
    dcs_.erase(it);
    gdi::release_window_dc(hdc);
    return true;
}

}  // namespace user
