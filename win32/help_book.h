// The help book beside the program: its contents in the user's browser, and
// the short topic of one control (<div class="topic" data-ids="...">) as
// plain text for F1 and the question-mark help.
#pragma once

#include <filesystem>
#include <string>

// The topic of `controlId` with its tags taken out; empty when it has none.
std::wstring HelpTopic(const std::filesystem::path& book, int controlId);
