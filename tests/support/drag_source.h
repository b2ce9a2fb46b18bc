// The dragging side of a file drop between programs (XDND), for tests of windows that take
// drops: a window of the test's own connection that offers data in some types, sends the
// protocol's messages to a target window, hands the data over when asked and records the
// target's answers.
#pragma once

#include "support/x_server.h"

#include <string>
#include <vector>

namespace testing_support {

class DragSource {
public:
    // data is what is handed over when the target asks for any of the types.
    DragSource(XServer& server, std::string data, std::vector<std::string> types = {"text/uri-list"});
    ~DragSource();
    DragSource(const DragSource&) = delete;
    DragSource& operator=(const DragSource&) = delete;

    void enter(XWindow target, long version = 5);
    // The pointer over the target at (x, y) in the target's coordinates.
    void position(XWindow target, int x, int y);
    void leave(XWindow target);
    void drop(XWindow target);
    // Takes the target's answers and hands the data over when the target asks for it.
    void serve();

    int statusReplies = 0;
    bool accepted = false;        // of the last status
    bool actionIsCopy = false;    // of the last status
    bool finished = false;
    bool finishedAccepted = false;
    bool finishedActionIsCopy = false;
    int dataRequests = 0;

private:
    void send(XWindow target, unsigned long type, long first, long second, long third, long fourth);

    XServer& server_;
    XWindow window_ = 0;
    std::string data_;
    std::vector<unsigned long> types_;
};

}  // namespace testing_support
