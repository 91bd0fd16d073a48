// modSubClass: an open edit is committed before the unit list scrolls under it.
#pragma once

class QAbstractScrollArea;

namespace tarnwick {

class FieldEdit;

namespace modSubClass {

void CreateHookRegistry();
void ReleaseHookRegistry();
// Watches the list's scroll bars (drags, clicks, arrows and the mouse wheel) for `editor`.
void HookWindow(QAbstractScrollArea* list, FieldEdit* editor);
void UnhookWindow(QAbstractScrollArea* list);

} // namespace modSubClass
} // namespace tarnwick
