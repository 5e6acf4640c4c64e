#include "framework/MenuModel.h"

#include <utility>

namespace zevaver {

namespace fw {

MenuItem::MenuItem(std::string caption, std::string name)
    : caption_(std::move(caption)), name_(std::move(name)) {}

MenuItem& MenuItem::Add(std::string caption, std::string name) {
    auto child = std::make_unique<MenuItem>(std::move(caption), std::move(name));
    child->parent_ = this;
    MenuItem& added = *child;
    children_.push_back(std::move(child));
    ++Root().shapeVersion_;
    return added;
}

void MenuItem::Clear() noexcept {
    if (children_.empty()) return;
    children_.clear();
    ++Root().shapeVersion_;
}

int MenuItem::IndexInParent() const noexcept {
    if (!parent_) return -1;
    const auto& siblings = parent_->children_;
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == this) return static_cast<int>(i);
    }
    return -1;
}

MenuItem* MenuItem::Find(std::string_view name) noexcept {
    if (name_ == name) return this;
    for (const auto& child : children_) {
        if (MenuItem* found = child->Find(name)) return found;
    }
    return nullptr;
}

const MenuItem& MenuItem::Root() const noexcept {
    const MenuItem* item = this;
    while (item->parent_) item = item->parent_;
    return *item;
}

MenuItem& MenuItem::Root() noexcept {
    MenuItem* item = this;
    while (item->parent_) item = item->parent_;
    return *item;
}

MenuItem& MenuItem::SetCaption(std::string caption) {
    caption_ = std::move(caption);
    return *this;
}

MenuItem& MenuItem::SetName(std::string name) {
    name_ = std::move(name);
    return *this;
}

MenuItem& MenuItem::SetHint(std::string hint) {
    hint_ = std::move(hint);
    return *this;
}

MenuItem& MenuItem::SetTag(int32_t tag) noexcept {
    tag_ = tag;
    return *this;
}

MenuItem& MenuItem::SetAutoCheck(bool autoCheck) noexcept {
    autoCheck_ = autoCheck;
    return *this;
}

// Joining a group (or changing group) while checked takes the check from the others, so a
// group never ends up with two checked radio items.
MenuItem& MenuItem::SetRadioItem(bool radioItem) noexcept {
    radioItem_ = radioItem;
    if (checked_) UncheckRadioSiblings();
    return *this;
}

MenuItem& MenuItem::SetGroupIndex(int groupIndex) noexcept {
    groupIndex_ = groupIndex;
    if (checked_) UncheckRadioSiblings();
    return *this;
}

MenuItem& MenuItem::SetChecked(bool checked) noexcept {
    checked_ = checked;
    if (checked_) UncheckRadioSiblings();
    return *this;
}

void MenuItem::UncheckRadioSiblings() noexcept {
    if (!radioItem_ || !parent_) return;
    for (const auto& sibling : parent_->children_) {
        if (sibling.get() != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) {
            sibling->checked_ = false;
        }
    }
}

MenuItem& MenuItem::SetEnabled(bool enabled) noexcept {
    enabled_ = enabled;
    return *this;
}

MenuItem& MenuItem::SetVisible(bool visible) noexcept {
    visible_ = visible;
    return *this;
}

MenuItem& MenuItem::SetBreak(bool startsColumn) noexcept {
    break_ = startsColumn;
    return *this;
}

MenuItem& MenuItem::OnClick(Handler handler) {
    onClick_ = std::move(handler);
    return *this;
}

void MenuItem::Click() {
    if (!enabled_ || IsSeparator()) return;
    if (autoCheck_) SetChecked(!checked_);
    if (onClick_) onClick_(*this);
}

} // namespace fw

} // namespace zevaver
