#pragma once
// Turns configuration values into the option texts handed to the Java VM.
#include "launcher/StringList.h"
#include "launcher/TextWalk.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kanne {

// Replaces %NAME% references by environment values; undefined ones stay as
// written, and the text stays unchanged when the expansion fails.
void expandEnvironment(std::string& text);

// Total physical memory in whole kilobytes.
std::uint64_t physicalMemoryKilobytes();
using MemoryQuery = std::uint64_t (*)();

// Appends the options of a "Virtual Machine Parameters" value: options are
// separated by blanks outside quoted sections, unquoted, and memory
// percentages ("-Xmx50p") rewritten to kilobytes.
void splitVmParameters(std::string_view value, StringList& vmOptions,
                       MemoryQuery memory = physicalMemoryKilobytes, CharStep step = systemCharStep);

// Position where the option that starts at `start` ends (the first blank not
// inside a quoted section), or the value's length.
std::size_t findOptionEnd(std::string_view value, std::size_t start, CharStep step = systemCharStep);
// Removes the quote pairs of one option; "" inside a pair keeps one quote.
void removeQuotes(std::string& option, CharStep step = systemCharStep);

bool isMemoryPercentOption(std::string_view option);
// "-Xmx50p" becomes "-Xmx<50 % of the memory>K". A percentage or result that
// does not fit a signed 32-bit number leaves the option unchanged, so the VM
// reports it instead of receiving a wrapped size.
void applyMemoryPercent(std::string& option, std::uint64_t physicalKilobytes);

} // namespace kanne
