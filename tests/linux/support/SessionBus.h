// A D-Bus session bus of the tests' own (dbus-daemon --session, on a private address) and a
// small StatusNotifierWatcher on it, as a panel that shows status notifier items runs one:
// the program's tray icon registers there, and the test reads the item's properties, calls
// its methods and clicks its menu (com.canonical.dbusmenu) as a panel would.
#pragma once

#include <gio/gio.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zevaver {

namespace linuxtest {

class SessionBus {
public:
    SessionBus() {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            setpgid(0, 0);
            close(out[0]);
            const std::string fd = "--print-address=" + std::to_string(out[1]);
            execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile", fd.c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(out[1]);
        char buffer[512];
        std::string line;
        for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;) {
            line.append(buffer, static_cast<size_t>(got));
            if (line.find('\n') != std::string::npos) break;
        }
        close(out[0]);
        address_ = line.substr(0, line.find('\n'));
    }
    ~SessionBus() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
    }
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    [[nodiscard]] const std::string& Address() const noexcept { return address_; }
    // For the program's environment.
    [[nodiscard]] std::string Variable() const { return "DBUS_SESSION_BUS_ADDRESS=" + address_; }

private:
    pid_t pid_ = -1;
    std::string address_;
};

// One registered item: its sender's bus name and its object path.
struct NotifierItem {
    std::string service;
    std::string path;
};

// One entry of an item's menu, as the panel would show it.
struct MenuEntry {
    int id = 0;
    std::string label;
    bool visible = true;
    bool enabled = true;
    int toggleState = -1; // 1 checked, 0 not, -1 no mark
    std::vector<MenuEntry> children;
};

class NotifierWatcher {
public:
    static constexpr const char* Interface = "org.kde.StatusNotifierWatcher";
    static constexpr const char* ItemInterface = "org.kde.StatusNotifierItem";

    explicit NotifierWatcher(const std::string& address) : address_(address) {
        thread_ = std::thread([this] { Run(); });
        for (int waited = 0; waited < 10000 && !ready_; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ~NotifierWatcher() {
        // Through the loop's own context: a quit before the loop runs would be lost.
        if (context_)
            g_main_context_invoke(
                context_,
                [](gpointer loop) -> gboolean {
                    g_main_loop_quit(static_cast<GMainLoop*>(loop));
                    return G_SOURCE_REMOVE;
                },
                loop_);
        if (thread_.joinable()) thread_.join();
        if (connection_) g_object_unref(connection_);
    }
    NotifierWatcher(const NotifierWatcher&) = delete;
    NotifierWatcher& operator=(const NotifierWatcher&) = delete;

    // The watcher's name is ours on the bus.
    [[nodiscard]] bool Ready() const noexcept { return owned_; }

    // The first item registered, once it is (waits up to `ms`).
    [[nodiscard]] std::optional<NotifierItem> AwaitItem(int ms = 10000) {
        for (int waited = 0; waited < ms; waited += 20) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!items_.empty()) return items_.front();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return std::nullopt;
    }

    // A string property of the item ("" when it cannot be read).
    [[nodiscard]] std::string Property(const NotifierItem& item, const char* name) {
        GVariant* reply = g_dbus_connection_call_sync(
            connection_, item.service.c_str(), item.path.c_str(), "org.freedesktop.DBus.Properties",
            "Get", g_variant_new("(ss)", ItemInterface, name), G_VARIANT_TYPE("(v)"),
            G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        if (!reply) return {};
        GVariant* value = nullptr;
        g_variant_get(reply, "(v)", &value);
        std::string text;
        if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) ||
            g_variant_is_of_type(value, G_VARIANT_TYPE_OBJECT_PATH))
            text = g_variant_get_string(value, nullptr);
        g_variant_unref(value);
        g_variant_unref(reply);
        return text;
    }
    // Waits until the property has this value; its last value.
    std::string AwaitProperty(const NotifierItem& item, const char* name, const std::string& value,
                              int ms = 5000) {
        std::string now;
        for (int waited = 0; waited < ms; waited += 20) {
            now = Property(item, name);
            if (now == value) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return now;
    }
    // Every value the property takes, as often as it is read, for `ms`.
    std::vector<std::string> WatchProperty(const NotifierItem& item, const char* name, int ms) {
        std::vector<std::string> seen;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            std::string now = Property(item, name);
            if (seen.empty() || seen.back() != now) seen.push_back(std::move(now));
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return seen;
    }

    // What a panel calls on a middle click.
    bool SecondaryActivate(const NotifierItem& item) {
        return Call(item.service, item.path, ItemInterface, "SecondaryActivate",
                    g_variant_new("(ii)", 0, 0));
    }

    // The item's menu as the panel reads it.
    [[nodiscard]] std::vector<MenuEntry> Menu(const NotifierItem& item) {
        const std::string path = Property(item, "Menu");
        GVariant* reply = g_dbus_connection_call_sync(
            connection_, item.service.c_str(), path.c_str(), "com.canonical.dbusmenu", "GetLayout",
            g_variant_new("(ii@as)", 0, -1, g_variant_new_strv(nullptr, 0)), nullptr,
            G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        if (!reply) return {};
        GVariant* layout = g_variant_get_child_value(reply, 1);
        MenuEntry root = Entry(layout);
        g_variant_unref(layout);
        g_variant_unref(reply);
        return root.children;
    }
    // Clicks the entry with this label (mnemonic marks removed) at the menu's top level, as a
    // panel does; false when there is none.
    bool Click(const NotifierItem& item, const std::string& label) {
        for (const MenuEntry& entry : Menu(item)) {
            if (entry.label != label) continue;
            const std::string path = Property(item, "Menu");
            return Call(item.service, path, "com.canonical.dbusmenu", "Event",
                        g_variant_new("(isvu)", entry.id, "clicked", g_variant_new_int32(0), 0u));
        }
        return false;
    }

private:
    static MenuEntry Entry(GVariant* node) {
        MenuEntry entry;
        GVariant* properties = nullptr;
        GVariant* children = nullptr;
        g_variant_get(node, "(i@a{sv}@av)", &entry.id, &properties, &children);
        const char* label = nullptr;
        if (g_variant_lookup(properties, "label", "&s", &label)) {
            for (const char* c = label; *c; ++c)
                if (*c != '_') entry.label += *c;
        }
        gboolean flag = TRUE;
        if (g_variant_lookup(properties, "visible", "b", &flag)) entry.visible = flag;
        if (g_variant_lookup(properties, "enabled", "b", &flag)) entry.enabled = flag;
        gint32 state = -1;
        if (g_variant_lookup(properties, "toggle-state", "i", &state)) entry.toggleState = state;
        GVariantIter iter;
        g_variant_iter_init(&iter, children);
        for (GVariant* child; (child = g_variant_iter_next_value(&iter));) {
            GVariant* inner = g_variant_get_variant(child);
            entry.children.push_back(Entry(inner));
            g_variant_unref(inner);
            g_variant_unref(child);
        }
        g_variant_unref(properties);
        g_variant_unref(children);
        return entry;
    }

    bool Call(const std::string& service, const std::string& path, const char* interface,
              const char* method, GVariant* parameters) {
        GVariant* reply = g_dbus_connection_call_sync(
            connection_, service.c_str(), path.c_str(), interface, method, parameters, nullptr,
            G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        if (!reply) return false;
        g_variant_unref(reply);
        return true;
    }

    static constexpr const char* Introspection =
        "<node><interface name='org.kde.StatusNotifierWatcher'>"
        "<method name='RegisterStatusNotifierItem'><arg type='s' direction='in'/></method>"
        "<method name='RegisterStatusNotifierHost'><arg type='s' direction='in'/></method>"
        "<property name='RegisteredStatusNotifierItems' type='as' access='read'/>"
        "<property name='IsStatusNotifierHostRegistered' type='b' access='read'/>"
        "<property name='ProtocolVersion' type='i' access='read'/>"
        "<signal name='StatusNotifierItemRegistered'><arg type='s'/></signal>"
        "<signal name='StatusNotifierItemUnregistered'><arg type='s'/></signal>"
        "<signal name='StatusNotifierHostRegistered'/>"
        "</interface></node>";

    static void MethodCall(GDBusConnection*, const gchar* sender, const gchar*, const gchar*,
                           const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer data) {
        auto& self = *static_cast<NotifierWatcher*>(data);
        if (g_strcmp0(method, "RegisterStatusNotifierItem") == 0) {
            const char* given = nullptr;
            g_variant_get(parameters, "(&s)", &given);
            // An item names its object path, or its bus name (then the usual path).
            NotifierItem item{sender, given};
            if (given[0] != '/') item = {given, "/StatusNotifierItem"};
            std::lock_guard<std::mutex> lock(self.mutex_);
            self.items_.push_back(item);
        }
        g_dbus_method_invocation_return_value(invocation, nullptr);
    }

    static GVariant* GetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                 const gchar* name, GError**, gpointer data) {
        auto& self = *static_cast<NotifierWatcher*>(data);
        if (g_strcmp0(name, "IsStatusNotifierHostRegistered") == 0)
            return g_variant_new_boolean(TRUE);
        if (g_strcmp0(name, "ProtocolVersion") == 0) return g_variant_new_int32(0);
        GVariantBuilder names;
        g_variant_builder_init(&names, G_VARIANT_TYPE("as"));
        std::lock_guard<std::mutex> lock(self.mutex_);
        for (const NotifierItem& item : self.items_)
            g_variant_builder_add(&names, "s", (item.service + item.path).c_str());
        return g_variant_builder_end(&names);
    }

    void Run() {
        GMainContext* context = g_main_context_new();
        context_ = context;
        g_main_context_push_thread_default(context);
        connection_ = g_dbus_connection_new_for_address_sync(
            address_.c_str(),
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        if (connection_) {
            GDBusNodeInfo* info = g_dbus_node_info_new_for_xml(Introspection, nullptr);
            static const GDBusInterfaceVTable table = {&MethodCall, &GetProperty, nullptr, {}};
            g_dbus_connection_register_object(connection_, "/StatusNotifierWatcher",
                                              info->interfaces[0], &table, this, nullptr, nullptr);
            g_dbus_node_info_unref(info);
            GVariant* reply = g_dbus_connection_call_sync(
                connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                "org.freedesktop.DBus", "RequestName", g_variant_new("(su)", Interface, 4u),
                G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
            if (reply) {
                guint32 result = 0;
                g_variant_get(reply, "(u)", &result);
                owned_ = result == 1; // the primary owner
                g_variant_unref(reply);
            }
        }
        loop_ = g_main_loop_new(context, FALSE);
        ready_ = true;
        g_main_loop_run(loop_);
        g_main_loop_unref(loop_);
        g_main_context_pop_thread_default(context);
        g_main_context_unref(context);
    }

    std::string address_;
    std::thread thread_;
    GDBusConnection* connection_ = nullptr;
    GMainContext* context_ = nullptr;
    GMainLoop* loop_ = nullptr;
    std::atomic<bool> ready_{false};
    std::atomic<bool> owned_{false};
    std::mutex mutex_;
    std::vector<NotifierItem> items_;
};

} // namespace linuxtest

} // namespace zevaver
