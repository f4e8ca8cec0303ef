// The manual page, kesmir.1: a troff template whose marked places are filled
// from the command texts (as --help shows them) and from the README's tables
// of keys and files, so none of them is written twice.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/command_texts.h"

namespace kesmir::packaging {

// Marks the build fills in, such as {"VERSION", "1.07.7"} for @VERSION@.
using GivenMarks = std::vector<std::pair<std::string, std::string>>;

// Fills @SYNOPSIS@, @OPTIONS@ (the subcommands' too), @PARAMETERS@, @KEYS@,
// @FILES@ and the given marks. False, with `error` saying why, when the
// README lacks a table the page needs or a mark is left.
bool manualPage(std::string_view pageTemplate, std::string_view readme,
                const std::vector<CommandText>& commands,
                const std::vector<ParameterGroupText>& parameterGroups, const GivenMarks& given,
                std::string& page, std::string& error);

}  // namespace kesmir::packaging
