#include "core/plugins/CalculatorPlugin.h"

#include "support/expression.h"

namespace corvantile::core {

using support::evaluate_expression;
using support::format_number;

CalculatorPlugin::CalculatorPlugin()
    : BasicPlugin("Calculator", "Calculator",
                  "Works out arithmetic typed as a query, such as 2+3*4 or (1.5-4)^2",
                  {L"=", RGB(0x2E, 0x7D, 0x32)}) {}

void CalculatorPlugin::itemsForText(const CString& text, std::vector<VItem>& out) {
    CString expression = text;
    expression.Trim();
    const std::optional<double> value = evaluate_expression(expression.str());
    if (!value)
        return;
    const CString shown(format_number(*value));
    out.push_back({VItemKind::Text, shown, shown, expression + " ="});
}

} // namespace corvantile::core
