// JoinText: the parts one after the other in one string, made with one
// allocation. For messages and records built from several pieces, where a
// chain of operator+ makes (and unwinds) a temporary string for every step.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

std::string JoinText(std::initializer_list<std::string_view> parts);
