#include "support/drag_source.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>

namespace testing_support {
namespace {

Atom atom(Display* display, const char* name)
{
    return XInternAtom(display, name, False);
}

}  // namespace

DragSource::DragSource(XServer& server, std::string data, std::vector<std::string> types)
    : server_(server), data_(std::move(data))
{
    Display* display = server_.display();
    window_ = XCreateSimpleWindow(display, server_.root(), 0, 0, 10, 10, 0, 0, 0);
    for (const std::string& type : types) {
        types_.push_back(atom(display, type.c_str()));
    }
    // More than three types are listed on the window.
    XChangeProperty(display, window_, atom(display, "XdndTypeList"), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(types_.data()), static_cast<int>(types_.size()));
    server_.sync();
}

DragSource::~DragSource()
{
    XDestroyWindow(server_.display(), window_);
    server_.sync();
}

void DragSource::send(XWindow target, unsigned long type, long first, long second, long third, long fourth)
{
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.display = server_.display();
    message.xclient.window = target;
    message.xclient.message_type = type;
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(window_);
    message.xclient.data.l[1] = first;
    message.xclient.data.l[2] = second;
    message.xclient.data.l[3] = third;
    message.xclient.data.l[4] = fourth;
    XSendEvent(server_.display(), target, False, NoEventMask, &message);
    server_.sync();
}

void DragSource::enter(XWindow target, long version)
{
    long flags = version << 24;
    long listed[3] = {0, 0, 0};
    if (types_.size() > 3) {
        flags |= 1;
    } else {
        for (std::size_t i = 0; i < types_.size(); ++i) {
            listed[i] = static_cast<long>(types_[i]);
        }
    }
    send(target, atom(server_.display(), "XdndEnter"), flags, listed[0], listed[1], listed[2]);
}

void DragSource::position(XWindow target, int x, int y)
{
    int originX = 0, originY = 0;
    server_.rootPosition(target, originX, originY);
    long packed = (static_cast<long>(originX + x) << 16) | ((originY + y) & 0xFFFF);
    send(target, atom(server_.display(), "XdndPosition"), 0, packed, CurrentTime,
         static_cast<long>(atom(server_.display(), "XdndActionCopy")));
}

void DragSource::leave(XWindow target)
{
    send(target, atom(server_.display(), "XdndLeave"), 0, 0, 0, 0);
}

void DragSource::drop(XWindow target)
{
    XSetSelectionOwner(server_.display(), atom(server_.display(), "XdndSelection"), window_, CurrentTime);
    send(target, atom(server_.display(), "XdndDrop"), 0, CurrentTime, 0, 0);
}

void DragSource::serve()
{
    Display* display = server_.display();
    Atom status = atom(display, "XdndStatus");
    Atom finishedType = atom(display, "XdndFinished");
    Atom copy = atom(display, "XdndActionCopy");
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == ClientMessage && event.xclient.window == window_) {
            const long* l = event.xclient.data.l;
            if (event.xclient.message_type == status) {
                ++statusReplies;
                accepted = (l[1] & 1) != 0;
                actionIsCopy = static_cast<Atom>(l[4]) == copy;
            } else if (event.xclient.message_type == finishedType) {
                finished = true;
                finishedAccepted = (l[1] & 1) != 0;
                finishedActionIsCopy = static_cast<Atom>(l[2]) == copy;
            }
        } else if (event.type == SelectionRequest) {
            const XSelectionRequestEvent& request = event.xselectionrequest;
            ++dataRequests;
            XEvent answer{};
            answer.xselection.type = SelectionNotify;
            answer.xselection.display = display;
            answer.xselection.requestor = request.requestor;
            answer.xselection.selection = request.selection;
            answer.xselection.target = request.target;
            answer.xselection.time = request.time;
            answer.xselection.property = None;
            bool offered = std::find(types_.begin(), types_.end(), request.target) != types_.end();
            if (offered && request.property != None) {
                XChangeProperty(display, request.requestor, request.property, request.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(data_.data()), static_cast<int>(data_.size()));
                answer.xselection.property = request.property;
            }
            XSendEvent(display, request.requestor, False, NoEventMask, &answer);
            server_.sync();
        }
    }
}

}  // namespace testing_support
