#include "editing/mod_sub_class.h"

#include "editing/field_edit.h"

#include <QAbstractScrollArea>
#include <QPointer>
#include <QScrollBar>

#include <map>
#include <memory>
#include <vector>

namespace tarnwick::modSubClass {
namespace {

using HookRegistry = std::map<const QAbstractScrollArea*, QPointer<FieldEdit>>;
std::unique_ptr<HookRegistry> registry;
std::map<const QAbstractScrollArea*, std::vector<QMetaObject::Connection>> hooks;

// A scroll bar is about to move the list.
void ListWindowProc(const QAbstractScrollArea* list) {
    // Between the registry's release and the unhook there is nobody to commit for.
    if (!registry)
        return;
    const auto found = registry->find(list);
    if (found == registry->end() || !found->second)
        return;
    FieldEdit* editor = found->second;
    if (editor->IsEditing())
        editor->SetText();
}

} // namespace

void CreateHookRegistry() {
    registry = std::make_unique<HookRegistry>();
}

void ReleaseHookRegistry() {
    registry.reset();
}

void HookWindow(QAbstractScrollArea* list, FieldEdit* editor) {
    if (registry)
        (*registry)[list] = editor;
    auto& connections = hooks[list];
    for (QScrollBar* bar : {list->horizontalScrollBar(), list->verticalScrollBar()}) {
        // actionTriggered comes before the value changes: the cell is still under the editor.
        // The mouse wheel arrives here too.
        connections.push_back(QObject::connect(bar, &QAbstractSlider::actionTriggered, list,
                                               [list](int) { ListWindowProc(list); }));
        // A refused text keeps the editor open: it follows its cell instead of floating.
        QPointer<FieldEdit> follower(editor);
        connections.push_back(
            QObject::connect(bar, &QAbstractSlider::valueChanged, list, [follower](int) {
                if (follower)
                    follower->FollowCell();
            }));
    }
}

void UnhookWindow(QAbstractScrollArea* list) {
    const auto found = hooks.find(list);
    if (found == hooks.end())
        return;
    for (const auto& connection : found->second)
        QObject::disconnect(connection);
    hooks.erase(found);
}

} // namespace tarnwick::modSubClass
