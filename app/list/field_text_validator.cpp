#include "app/list/field_text_validator.h"

#include "app/list/latin1.h"
#include "console/table/field_validation.h"

#include <QLineEdit>

namespace tarnwick {
namespace {

bool BreaksRule(int field, const QString& text) {
    const bool fits = FitsOneByte(text);
    const QByteArray bytes = fits ? text.toLatin1() : text.toUtf8();
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return TextProblem(field, view, fits).has_value();
}

} // namespace

FieldTextValidator::FieldTextValidator(const SessionState& session, QLineEdit& box)
    : QValidator(&box), session_(session) {}

int FieldTextValidator::Field() const {
    const int column = session_.editor.Column();
    return column < 1 || column > ListViewFieldNumberColumnCount
               ? 0
               : FieldOfColumn[static_cast<std::size_t>(column - 1)];
}

void FieldTextValidator::Opened(const QString& text) {
    guarding_ = Field() != 0 && !BreaksRule(Field(), text);
}

QValidator::State FieldTextValidator::validate(QString& input, int& /*position*/) const {
    return guarding_ && BreaksRule(Field(), input) ? Invalid : Acceptable;
}

} // namespace tarnwick
