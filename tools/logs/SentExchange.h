#pragma once
// --sent-exchange: what the operator sent, for logs that do not keep it. The text is a
// constant in which a run of '#' is the QSO's serial number, counting from 1 in the
// log's order: "#" gives 1, 2, ... and "###" gives 001, 002, ... (wider numbers grow).
// It replaces the sent exchange of every QSO, as --call replaces the log's own call.
//
// A Cabrillo line whose sent or received exchange is empty holds an uneven number of
// report and exchange fields, and log robots refuse it; korvane counts such QSOs.

#include "tools/logs/LogQso.h"

#include <cstddef>
#include <string>
#include <vector>

namespace korvane {

// Why the text cannot be a sent exchange, or empty when it can: printable ASCII, not
// blank, short enough for the host's exchange with any serial.
std::string sentExchangeProblem(const std::string& text);

// The text for the QSO with this serial number.
std::string sentExchangeFor(const std::string& text, std::size_t serial);

// Sets each QSO's sent exchange from text; returns how many QSOs held another one.
std::size_t applySentExchange(std::vector<LogQso>& qsos, const std::string& text);

// Warnings for the QSOs that would reach the plug-in without a sent or a received
// exchange: a line for each side that has any, then why it matters; empty when every
// QSO has both.
std::vector<std::string> missingExchangeWarnings(const std::vector<LogQso>& qsos,
                                                 LogFormat format);

} // namespace korvane
