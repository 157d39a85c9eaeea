#pragma once

// A list that the radio scale draws from. Reading works as on the plain
// container; every change first reports, through the one callback the scale
// gives, that the scale's picture is out of date. Owners (the band keys, the
// marker store, remote commands) may therefore edit the list directly and the
// scale still never shows a list it no longer holds.
//
// The callback only marks the picture stale; it repaints nothing, so a change
// that should show at once is followed by the scale's update().

#include <functional>
#include <utility>

template <typename Container>
class TDrawnList
{
public:
    using value_type = typename Container::value_type;
    using size_type = typename Container::size_type;
    using const_iterator = typename Container::const_iterator;

    explicit TDrawnList(std::function<void()> changed)
        : Changed(std::move(changed))
    {
    }
    TDrawnList(const TDrawnList &) = delete;
    TDrawnList &operator=(const TDrawnList &) = delete;

    // ---- reading --------------------------------------------------------------
    const Container &items() const { return Items; }
    operator const Container &() const { return Items; }
    size_type size() const { return Items.size(); }
    bool empty() const { return Items.empty(); }
    bool isEmpty() const { return Items.empty(); }
    const value_type &at(size_type i) const { return Items.at(i); }
    const value_type &operator[](size_type i) const { return Items[i]; }
    const value_type &front() const { return Items.front(); }
    const value_type &back() const { return Items.back(); }
    const value_type &first() const { return Items.front(); }
    const value_type &last() const { return Items.back(); }
    const_iterator begin() const { return Items.begin(); }
    const_iterator end() const { return Items.end(); }
    template <typename... Args>
    bool contains(Args &&...args) const
    {
        return Items.contains(std::forward<Args>(args)...);
    }
    template <typename... Args>
    auto indexOf(Args &&...args) const
    {
        return Items.indexOf(std::forward<Args>(args)...);
    }

    // ---- changing: the scale hears of it first --------------------------------
    // The container itself, for changes the forwarders below do not cover.
    Container &edit()
    {
        Changed();
        return Items;
    }
    // An element that the caller may change (a band's remembered frequency).
    value_type &operator[](size_type i) { return edit()[i]; }
    TDrawnList &operator=(Container items)
    {
        edit() = std::move(items);
        return *this;
    }
    void clear() { edit().clear(); }
    template <typename... Args>
    void append(Args &&...args)
    {
        edit().append(std::forward<Args>(args)...);
    }
    template <typename... Args>
    void push_back(Args &&...args)
    {
        edit().push_back(std::forward<Args>(args)...);
    }
    template <typename... Args>
    auto insert(Args &&...args)
    {
        return edit().insert(std::forward<Args>(args)...);
    }
    template <typename... Args>
    void removeAt(Args &&...args)
    {
        edit().removeAt(std::forward<Args>(args)...);
    }
    template <typename... Args>
    auto removeAll(Args &&...args)
    {
        return edit().removeAll(std::forward<Args>(args)...);
    }
    template <typename... Args>
    auto removeOne(Args &&...args)
    {
        return edit().removeOne(std::forward<Args>(args)...);
    }
    template <typename Predicate>
    auto removeIf(Predicate pred)
    {
        return edit().removeIf(pred);
    }

private:
    std::function<void()> Changed;
    Container Items;
};
