#include "core/plugins/CalculatorPlugin.h"

#include "core/calculator/Expression.h"

namespace corvantile::core {

CalculatorPlugin::CalculatorPlugin()
    : BasicPlugin("Calculator", "Calculator",
                  "Works out arithmetic typed as a query, such as 2+3*4 or (1.5-4)^2",
                  {L"=", RGB(0x2E, 0x7D, 0x32)}) {}

void CalculatorPlugin::itemsForText(const CString& text, std::vector<VItem>& out) {
    CString expression = text;
    expression.Trim();
    const std::optional<double> value = evaluateExpression(expression.str());
    if (!value)
        return;
    const CString shown(formatNumber(*value));
    out.push_back({VItemKind::Text, shown, shown, expression + " ="});
}

} // namespace corvantile::core
