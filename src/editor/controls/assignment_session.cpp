#include "editor/controls/assignment_session.h"

#include "params/patch_object_table.h"

#include <map>
#include <memory>

namespace pelko {
namespace {

std::map<const EditorServices*, std::unique_ptr<AssignmentSession>>& sessions()
{
    static std::map<const EditorServices*, std::unique_ptr<AssignmentSession>> open;
    return open;
}

}  // namespace

AssignmentSession* AssignmentSession::of(const EditorServices& services)
{
    auto found = sessions().find(&services);
    return found != sessions().end() ? found->second.get() : nullptr;
}

AssignmentSession& AssignmentSession::open(EditorServices& services, int slider, const void* opener)
{
    auto session = std::make_unique<AssignmentSession>();
    session->slider_ = slider;
    session->opener_ = opener;
    services.readObject(object::kUserControlsAssignment, [&](const PatchObject& stored) {
        session->copy_.copyFrom(stored);
    });
    auto& slot = sessions()[&services];
    slot = std::move(session);
    return *slot;
}

void AssignmentSession::close(EditorServices& services, bool apply)
{
    auto found = sessions().find(&services);
    if (found == sessions().end()) {
        return;
    }
    std::unique_ptr<AssignmentSession> session = std::move(found->second);
    sessions().erase(found);
    if (apply) {
        services.editObject(object::kUserControlsAssignment,
                            [&](PatchObject& stored) { stored.copyFrom(session->copy_); });
    }
}

void AssignmentSession::discardOpenedBy(EditorServices& services, const void* opener)
{
    AssignmentSession* session = of(services);
    if (session != nullptr && opener != nullptr && session->opener_ == opener) {
        close(services, false);
    }
}

}  // namespace pelko
