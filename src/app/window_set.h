#pragma once

#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <typeindex>
#include <utility>
#include <vector>

namespace qv::app {

// The secondary windows of the program: at most one of each class, created on
// first use, brought up again while it is open, forgotten once closed (the
// window deletes itself on close). Closing the set closes the windows in the
// reverse order of their opening.
class WindowSet {
  public:
    WindowSet() = default;
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;
    ~WindowSet() { closeAll(); }

    // The open window of class W, or a new one built from args (not shown yet).
    template <typename W, typename... Args>
    W* get(Args&&... args) {
        if (W* open = find<W>()) return open;
        auto* window = new W(std::forward<Args>(args)...);
        window->setAttribute(Qt::WA_DeleteOnClose);
        entries_.push_back({std::type_index(typeid(W)), QPointer<QWidget>(window)});
        return window;
    }

    // As get, then shows the window modeless and brings it to the front.
    template <typename W, typename... Args>
    W* show(Args&&... args) {
        W* window = get<W>(std::forward<Args>(args)...);
        if (window->isMinimized()) window->showNormal();
        window->show();
        window->raise();
        window->activateWindow();
        return window;
    }

    // The open window of class W, or nullptr.
    template <typename W>
    W* find() {
        prune();
        for (const Entry& e : entries_) {
            if (e.type == std::type_index(typeid(W))) return static_cast<W*>(e.window.data());
        }
        return nullptr;
    }

    int openCount() {
        prune();
        return static_cast<int>(entries_.size());
    }

    // Closes every open window, the last opened first.
    void closeAll() {
        prune();
        while (!entries_.empty()) {
            QPointer<QWidget> window = entries_.back().window;
            entries_.pop_back();
            if (!window) continue;
            window->close();
            // A window that was never shown (or refused to close) is still ours to delete.
            if (window) delete window.data();
        }
    }

  private:
    struct Entry {
        std::type_index type;
        QPointer<QWidget> window;
    };

    void prune() {
        std::erase_if(entries_, [](const Entry& e) { return e.window.isNull(); });
    }

    std::vector<Entry> entries_;
};

}  // namespace qv::app
