// Bash completion for kesmir, made from the option table: a template whose
// @OPTIONS@ place gets the option lists as bash variables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/command_texts.h"

namespace kesmir::packaging {

// The variables the template's function reads, each by command ("kesmir"
// for the program's own, else its name: "sweep", "sweep status"): the words
// that may follow it as subcommands (_kesmir_subcommands), its options
// (_kesmir_options), what each option's value is (_kesmir_values, by
// "command:option": "N", "FILE", "NAME=VALUE", ...), what its arguments are
// in order (_kesmir_arguments: "DIR N"), and the parameter names.
std::string bashCompletion(std::string_view scriptTemplate,
                           const std::vector<CommandText>& commands,
                           const std::vector<std::string>& parameterNames);

}  // namespace kesmir::packaging
