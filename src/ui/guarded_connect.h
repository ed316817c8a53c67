#pragma once
// Every connection the program makes goes through here: the handler runs
// under guarded(), so an exception it throws is shown by the general error
// display and ends the handler, and never unwinds through Qt's signal
// machinery (which Qt does not allow). Timers, the port's poll, buttons and
// menu actions alike.
//
// The handler is a function object or a member function of the receiver;
// it takes the signal's arguments or none.
#include "ui/error_display.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <type_traits>
#include <utility>

namespace lekta::ui {

namespace detail {

// Calls the handler with the signal's arguments, or with none when it takes
// none; a member function on the receiver.
template <typename Handler, typename Receiver, typename... Args>
void call_handler(const Handler& handler, Receiver* receiver, Args&&... args)
{
    if constexpr (std::is_member_function_pointer_v<Handler>) {
        if constexpr (std::is_invocable_v<const Handler&, Receiver*, Args...>)
            std::invoke(handler, receiver, std::forward<Args>(args)...);
        else
            std::invoke(handler, receiver);
    } else {
        if constexpr (std::is_invocable_v<const Handler&, Args...>)
            std::invoke(handler, std::forward<Args>(args)...);
        else
            std::invoke(handler);
    }
}

// Whether the handler takes these arguments (a member function on the receiver).
template <typename Handler, typename Receiver, typename... Args>
constexpr bool takes = std::is_member_function_pointer_v<Handler>
                           ? std::is_invocable_v<const Handler&, Receiver*, Args...>
                           : std::is_invocable_v<const Handler&, Args...>;

// The call a connection makes: the return type is spelled out, so Qt learns
// how many of the signal's arguments it takes without instantiating its
// body. It takes only arguments the handler takes (or none): never a
// signal's private tag, which a queued connection hands over as a null
// pointer.
template <typename Receiver, typename Handler>
struct GuardedCall {
    Receiver* receiver;
    Handler handler;

    template <typename... Args>
    requires(sizeof...(Args) == 0 || takes<Handler, Receiver, Args...>) void
    operator()(Args&&... args) const
    {
        guarded([&] { call_handler(handler, receiver, std::forward<Args>(args)...); });
    }
};

}  // namespace detail

template <typename Sender, typename Signal, typename Receiver, typename Handler>
QMetaObject::Connection connect_guarded(Sender* sender, Signal signal, Receiver* receiver,
                                        Handler handler,
                                        Qt::ConnectionType type = Qt::AutoConnection)
{
    static_assert(std::is_base_of_v<QObject, Receiver>,
                  "the receiver decides how long the connection lives");
    return QObject::connect(sender, signal, receiver,
                            detail::GuardedCall<Receiver, Handler>{receiver, std::move(handler)},
                            type);
}

// A call the event loop makes later (QTimer::singleShot), under guarded().
template <typename Receiver, typename Handler>
void call_later_guarded(int msec, Receiver* receiver, Handler handler)
{
    QTimer::singleShot(msec, receiver, [handler = std::move(handler)] { guarded(handler); });
}

}  // namespace lekta::ui
