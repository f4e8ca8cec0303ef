// Bash completion for kesmir, made from the option table: a template whose
// @OPTIONS@ place gets the option lists as bash variables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/options.h"

namespace kesmir::packaging {

// The variables the template's function reads: _kesmir_subcommands, the
// options of each command (_kesmir_options, by subcommand, "kesmir" for the
// program's own), what each option's value is (_kesmir_values, by
// "command:option": "N", "FILE", "NAME=VALUE", ...) and the parameter names.
std::string bashCompletion(std::string_view scriptTemplate,
                           const std::vector<CommandText>& commands,
                           const std::vector<std::string>& parameterNames);

}  // namespace kesmir::packaging
