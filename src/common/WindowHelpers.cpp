#include "WindowHelpers.h"

#include <xcb/xcb.h>
#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QIcon>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

// The resources are compiled into a static library: nothing else would pull them into the program.
static void initProgramResources() {
    Q_INIT_RESOURCE(tavanote);
}

namespace tavanote {

namespace {

// The frame last seen around one of our windows: the guess for a kind the window manager has not told yet.
QMargins g_lastFrame;

FrameCache& frameCache() {
    static FrameCache cache;
    return cache;
}

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(qstrlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// _NET_FRAME_EXTENTS of a window: left, right, top, bottom.
std::optional<QMargins> frameExtents(xcb_connection_t* c, xcb_window_t window, xcb_atom_t extents) {
    const Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
    return QMargins(static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3]));
}

bool supportedByWindowManager(xcb_connection_t* c, xcb_window_t root, xcb_atom_t wanted) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096), nullptr));
    if (!reply || reply->format != 32)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, wanted) != atoms + count;
}

// Under X11, the frame the window manager will draw around a window it has not framed yet
// (_NET_REQUEST_FRAME_EXTENTS). Nothing elsewhere, or when the window manager does not answer.
std::optional<QMargins> askWindowManager(QWidget* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    if (!supportedByWindowManager(c, root, request))
        return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = request;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
    // The window manager answers by setting the property, usually within a millisecond; on a busy machine it may
    // take much longer, and a window placed without its frame lands off its place for good.
    QElapsedTimer waited;
    waited.start();
    do {
        if (const std::optional<QMargins> margins = frameExtents(c, id, extents))
            return margins;
        QThread::msleep(1);
    } while (waited.elapsed() < 3000);
    return std::nullopt;
}

}  // namespace

QMargins frameMargins(QWidget* window) {
    const QString kind = window->objectName();
    if (window->isVisible()) {
        const QRect frame = window->frameGeometry();
        const QRect client = window->geometry();
        const QMargins margins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                               frame.bottom() - client.bottom());
        if (!margins.isNull()) {
            g_lastFrame = margins;
            frameCache().seen(kind, margins);
            return margins;
        }
    }
    if (const std::optional<QMargins> margins =
            frameCache().frame(kind, [window] { return askWindowManager(window); })) {
        g_lastFrame = *margins;
        return *margins;
    }
    // Other window systems may know the frame as soon as the window exists.
    window->winId();
    if (const QMargins margins = window->windowHandle()->frameMargins(); !margins.isNull())
        return margins;
    return g_lastFrame;
}

void moveFrame(QWidget* window, const QPoint& topLeft) {
    // The native window is made first: a window given its place before it exists reaches the window manager with
    // that place taken as its frame's (openbox then moves it down and right by the frame).
    window->winId();
    const QMargins frame = frameMargins(window);
    // The client area's place: the window system keeps it there and draws the frame around it.
    window->setGeometry(QRect(topLeft + QPoint(frame.left(), frame.top()), window->size()));
}

void CentreWindow(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QMargins frame = frameMargins(window);
    const QSize size = window->size().grownBy(frame);
    moveFrame(window, area.topLeft() + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2));
    // Centred before it shows, with a frame the window manager may not have told yet (a busy desktop at login).
    if (!window->isVisible())
        placeAgainWhenFramed(window, frame, [window] { CentreWindow(window); });
}

void SetTopMost(QWidget* window, bool onTop) {
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (QWindow* handle = window->windowHandle()) {
        // Told to the window system in place: the window keeps its position and size and is not shown again,
        // as it would be by a change of the widget's flags.
        window->overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
}

std::optional<QMargins> FrameCache::frame(const QString& kind, const Ask& ask) {
    if (const auto known = m_known.constFind(kind); known != m_known.constEnd())
        return *known;
    if (m_asked.contains(kind))
        return std::nullopt;
    m_asked.insert(kind);
    const std::optional<QMargins> answer = ask();
    if (answer)
        m_known.insert(kind, *answer);
    return answer;
}

namespace {

// Sees the window manager set _NET_FRAME_EXTENTS on our windows, which Qt selects property changes of.
class FrameWatcher : public QAbstractNativeEventFilter {
public:
    struct Pending {
        QPointer<QWidget> window;
        QMargins placedWith;
        std::function<void()> place;
    };

    explicit FrameWatcher(xcb_connection_t* c) : m_connection(c), m_extents(atom(c, "_NET_FRAME_EXTENTS")) {}

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (change->atom != m_extents)
            return false;
        // By the window's current native window: it may have been made again since the window was placed.
        QWidget* window = nullptr;
        for (auto entry = pending.cbegin(); entry != pending.cend() && !window; ++entry) {
            const QWindow* handle = entry.value().window ? entry.value().window->windowHandle() : nullptr;
            if (handle && handle->winId() == change->window)
                window = entry.key();
        }
        if (!window)
            return false;
        const std::optional<QMargins> frame = frameExtents(m_connection, change->window, m_extents);
        if (!frame)
            return false;
        const Pending waiting = pending.take(window);
        frameCache().seen(waiting.window->objectName(), *frame);
        g_lastFrame = *frame;
        // Once Qt has read the change too, so that the window's own frame geometry agrees.
        if (*frame != waiting.placedWith)
            QTimer::singleShot(0, waiting.window, waiting.place);
        return false;
    }

    QHash<QWidget*, Pending> pending;

private:
    xcb_connection_t* m_connection;
    xcb_atom_t m_extents;
};

}  // namespace

void placeAgainWhenFramed(QWidget* window, const QMargins& placedWith, std::function<void()> place) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    static FrameWatcher watcher(c);
    static const bool installed = (qGuiApp->installNativeEventFilter(&watcher), true);
    Q_UNUSED(installed)
    watcher.pending.removeIf([](const auto& entry) { return entry.value().window.isNull(); });
    watcher.pending.insert(window, {window, placedWith, std::move(place)});
}

QString literalCaption(const QString& text) {
    // Qt shows "[*][*]" as "[*]" and never as the mark.
    QString caption = text;
    return caption.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

QIcon programIcon() {
    initProgramResources();
    return QIcon(QStringLiteral(":/icons/tavanote.svg"));
}

}  // namespace tavanote
