// A menu as a tree of items that holds everything the command handlers rely on: captions,
// names, tags, check marks with auto-check and radio groups, enabled and visible states and
// column breaks. The platform menu is only a picture of this tree, rebuilt before it is
// shown, so a click from the mouse, from a command key or from a global shortcut all go
// through MenuItem::Click and behave the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zevaver {

namespace fw {

class MenuItem {
public:
    using Handler = std::function<void(MenuItem&)>;

    // The caption that turns an item into a separator.
    static constexpr std::string_view SeparatorCaption = "-";

    MenuItem() = default;
    explicit MenuItem(std::string caption, std::string name = {});
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;
    MenuItem(MenuItem&&) = delete;
    MenuItem& operator=(MenuItem&&) = delete;
    ~MenuItem() = default;

    // --- The tree. Children are owned by their parent and keep their address for life. ---

    // Appends a new child and returns it.
    MenuItem& Add(std::string caption, std::string name = {});
    MenuItem& AddSeparator() { return Add(std::string(SeparatorCaption)); }
    // Removes every child (and their children).
    void Clear() noexcept;

    [[nodiscard]] std::size_t Count() const noexcept { return children_.size(); }
    [[nodiscard]] MenuItem& operator[](std::size_t index) const { return *children_.at(index); }
    [[nodiscard]] MenuItem* Parent() const noexcept { return parent_; }
    // Position among the parent's children, or -1 for a root.
    [[nodiscard]] int IndexInParent() const noexcept;
    // This item or the first descendant (depth first, in order) with the given name.
    [[nodiscard]] MenuItem* Find(std::string_view name) noexcept;
    // Counts every change of the tree's shape (items added or removed anywhere in it), so a
    // holder of item addresses can tell whether they may have gone stale.
    [[nodiscard]] uint32_t ShapeVersion() const noexcept { return Root().shapeVersion_; }

    // --- Properties. The setters return the item so a menu can be described in one go. ---

    [[nodiscard]] const std::string& Caption() const noexcept { return caption_; }
    MenuItem& SetCaption(std::string caption);
    [[nodiscard]] const std::string& Name() const noexcept { return name_; }
    MenuItem& SetName(std::string name);
    [[nodiscard]] const std::string& Hint() const noexcept { return hint_; }
    MenuItem& SetHint(std::string hint);
    [[nodiscard]] int32_t Tag() const noexcept { return tag_; }
    MenuItem& SetTag(int32_t tag) noexcept;
    [[nodiscard]] bool AutoCheck() const noexcept { return autoCheck_; }
    MenuItem& SetAutoCheck(bool autoCheck) noexcept;
    [[nodiscard]] bool RadioItem() const noexcept { return radioItem_; }
    MenuItem& SetRadioItem(bool radioItem) noexcept;
    [[nodiscard]] int GroupIndex() const noexcept { return groupIndex_; }
    MenuItem& SetGroupIndex(int groupIndex) noexcept;
    [[nodiscard]] bool Checked() const noexcept { return checked_; }
    // Checking a radio item unchecks the radio items of the same group among its siblings.
    MenuItem& SetChecked(bool checked) noexcept;
    [[nodiscard]] bool Enabled() const noexcept { return enabled_; }
    MenuItem& SetEnabled(bool enabled) noexcept;
    [[nodiscard]] bool Visible() const noexcept { return visible_; }
    MenuItem& SetVisible(bool visible) noexcept;
    // The item starts a new column, with a dividing bar before it.
    [[nodiscard]] bool Break() const noexcept { return break_; }
    MenuItem& SetBreak(bool startsColumn) noexcept;
    [[nodiscard]] bool IsSeparator() const noexcept { return caption_ == SeparatorCaption; }
    [[nodiscard]] bool HasHandler() const noexcept { return static_cast<bool>(onClick_); }
    MenuItem& OnClick(Handler handler);

    // Exactly what a user's click does: nothing for a disabled item or a separator;
    // otherwise an auto-check item flips its own check mark, then the handler runs.
    void Click();

private:
    [[nodiscard]] const MenuItem& Root() const noexcept;
    [[nodiscard]] MenuItem& Root() noexcept;
    void UncheckRadioSiblings() noexcept;

    std::string caption_;
    std::string name_;
    std::string hint_;
    int32_t tag_ = 0;
    int groupIndex_ = 0;
    bool autoCheck_ = false;
    bool radioItem_ = false;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    bool break_ = false;
    Handler onClick_;
    MenuItem* parent_ = nullptr;
    std::vector<std::unique_ptr<MenuItem>> children_;
    uint32_t shapeVersion_ = 0; // kept by the root only
};

} // namespace fw

} // namespace zevaver
