// Calculator: a query that is an arithmetic expression ("2+3*4") gives its value as a result,
// which the default action copies to the clipboard.
#pragma once

#include "core/plugins/BasicPlugin.h"

namespace corvantile::core {

class CalculatorPlugin final : public BasicPlugin {
public:
    CalculatorPlugin();
    void itemsForText(const CString& text, std::vector<VItem>& out) override;
};

} // namespace corvantile::core
