// The edit box's guard: a paste or a drop that would give the cell under edit a text its field
// cannot hold is refused whole, by the rule that commits use.
#pragma once

#include "console/session/session_state.h"

#include <QValidator>

class QLineEdit;

namespace tarnwick {

class FieldTextValidator : public QValidator {
    Q_OBJECT
public:
    // Owned by `box`.
    FieldTextValidator(const SessionState& session, QLineEdit& box);
    // The box opened on `text`. A text a unit reported may already break the rule: then the
    // user may still shorten or mend it, and the commit says what is wrong.
    void Opened(const QString& text);
    State validate(QString& input, int& position) const override;

private:
    int Field() const;

    const SessionState& session_;
    bool guarding_ = true;
};

} // namespace tarnwick
