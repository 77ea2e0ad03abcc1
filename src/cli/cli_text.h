#pragma once

#include <initializer_list>
#include <string>

#include <CLI/CLI.hpp>

namespace qv::cli {

// Validators whose refusals read in Traditional Chinese.
CLI::Validator oneOf(std::initializer_list<const char*> names);
CLI::Validator numberBetween(double low, double high);
// Refuses an empty value ("--q ''"), which would otherwise read as not given.
CLI::Validator notEmpty();

// A command-line parse error as the user reads it, in Traditional Chinese.
std::string parseErrorText(const CLI::ParseError& e);

}  // namespace qv::cli
