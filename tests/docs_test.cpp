// The sessions that README.md and the manual page show are real output: each one is run again
// here on a freshly made sample set, and every command's output must match byte for byte.
//
// A session is a list of lines. A line that begins with "$ " is a command; the lines after it,
// up to the next command, are what it printed, followed by one line feed (none when it printed
// nothing); one blank line separates a command's output from the next command. In README.md
// the sessions are the ```console blocks; in the manual page, the .nf/.fi blocks whose first
// line is a command.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "gamedata/game_data.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace {

struct Step {
  int line = 0;                   // of the command, in the document
  std::vector<std::string> args;  // the command's words
  std::string output;             // what the document says it prints
};

struct Session {
  int line = 0;  // of the first command
  std::vector<Step> steps;
};

struct Line {
  int number = 0;
  std::string text;
};

// The document's lines, without their line ends (a checkout with CR LF line ends included).
std::vector<Line> readLines(const char* path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << path;
  std::vector<Line> lines;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    lines.push_back({number, text});
  }
  return lines;
}

std::vector<std::string> words(const std::string& command) {
  std::istringstream in(command);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// Splits one block into its commands and their outputs, by the rules at the top of this file.
Session parseSession(const std::vector<Line>& block) {
  Session session;
  if (!block.empty()) session.line = block.front().number;
  std::vector<std::vector<Line>> outputs;
  for (const Line& line : block) {
    if (line.text.rfind("$ ", 0) == 0) {
      session.steps.push_back({line.number, words(line.text.substr(2)), ""});
      outputs.emplace_back();
    } else if (outputs.empty()) {
      ADD_FAILURE() << "line " << line.number << ": a session must begin with a command";
    } else {
      outputs.back().push_back(line);
    }
  }
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    std::vector<Line>& lines = outputs[i];
    if (i + 1 < outputs.size()) {
      // The blank line in front of the next command is no part of the output.
      if (lines.empty() || !lines.back().text.empty()) {
        ADD_FAILURE() << "line " << session.steps[i + 1].line
                      << ": a blank line must stand before a command";
      } else {
        lines.pop_back();
      }
    }
    for (std::size_t k = 0; k < lines.size(); ++k) {
      session.steps[i].output += (k > 0 ? "\n" : "") + lines[k].text;
    }
  }
  return session;
}

// The ```console blocks of a Markdown file.
std::vector<Session> markdownSessions(const char* path) {
  std::vector<Session> sessions;
  std::vector<Line> block;
  bool inside = false;
  for (const Line& line : readLines(path)) {
    if (!inside && line.text == "```console") {
      inside = true;
      block.clear();
    } else if (inside && line.text == "```") {
      inside = false;
      sessions.push_back(parseSession(block));
    } else if (inside) {
      block.push_back(line);
    }
  }
  EXPECT_FALSE(inside) << path << ": a console block is not closed";
  return sessions;
}

// Turns a line of the manual page into the text it shows. Only the escapes that an example
// needs are known; any other one is reported, so that it cannot pass unchecked.
std::string roffText(const Line& line) {
  std::string text;
  for (std::size_t i = 0; i < line.text.size(); ++i) {
    const char c = line.text[i];
    if (c != '\\') {
      text += c;
    } else if (line.text.compare(i, 2, "\\-") == 0) {
      text += '-';
      i += 1;
    } else if (line.text.compare(i, 4, "\\(aq") == 0) {
      text += '\'';
      i += 3;
    } else if (line.text.compare(i, 2, "\\e") == 0) {
      text += '\\';
      i += 1;
    } else if (line.text.compare(i, 2, "\\&") == 0) {
      i += 1;
    } else {
      ADD_FAILURE() << "line " << line.number << ": escape not known to this test";
      text += c;
    }
  }
  return text;
}

// The .nf/.fi blocks of a manual page that begin with a command.
std::vector<Session> manPageSessions(const char* path) {
  std::vector<Session> sessions;
  std::vector<Line> block;
  bool inside = false;
  for (const Line& line : readLines(path)) {
    if (!inside && line.text == ".nf") {
      inside = true;
      block.clear();
    } else if (inside && line.text == ".fi") {
      inside = false;
      if (!block.empty() && block.front().text.rfind("$ ", 0) == 0) {
        sessions.push_back(parseSession(block));
      }
    } else if (inside) {
      if (!line.text.empty() && (line.text[0] == '.' || line.text[0] == '\'')) {
        ADD_FAILURE() << "line " << line.number << ": a request inside an example";
      }
      block.push_back({line.number, roffText(line)});
    }
  }
  EXPECT_FALSE(inside) << path << ": an .nf block is not closed";
  return sessions;
}

// Runs every command of the session in a fresh sample set, its saves in the family's other layouts
// beside it: grimtrim, and cp for copying a save.
void expectRealOutput(const char* document, const Session& session) {
  SCOPED_TRACE(std::string(document) + ", session at line " + std::to_string(session.line));
  TempFolder folder;
  gamedata::writeGame(folder.path(), gamedata::buildGame(gamedata::sampleGame()));
  gamedata::writeFamilySaves(folder.path());  // as make_sample writes the sample set
  for (const Step& step : session.steps) {
    SCOPED_TRACE("command at line " + std::to_string(step.line));
    ASSERT_FALSE(step.args.empty());
    const std::vector<std::string> args(step.args.begin() + 1, step.args.end());
    if (step.args.front() == "grimtrim") {
      const RunResult run = runGrimtrim(folder.path(), args);
      EXPECT_EQ(asPrinted(step.output), run.output);
      EXPECT_EQ(0, run.status);
    } else if (step.args.front() == "cp" && args.size() == 2) {
      std::filesystem::copy_file(folder / args[0], folder / args[1],
                                 std::filesystem::copy_options::overwrite_existing);
      EXPECT_EQ("", step.output);
    } else {
      ADD_FAILURE() << "a session may only run grimtrim and cp FROM TO";
    }
  }
}

TEST(Docs, ReadmeSessionsAreRealOutput) {
  const std::vector<Session> sessions = markdownSessions(GRIMTRIM_README);
  // The demo session, and the one that shows free-space method 0.
  ASSERT_GE(sessions.size(), 2u);
  for (const Session& session : sessions) {
    EXPECT_FALSE(session.steps.empty());
    expectRealOutput("README.md", session);
  }
}

TEST(Docs, ManPageExampleIsRealOutput) {
  const std::vector<Session> sessions = manPageSessions(GRIMTRIM_MAN_PAGE);
  ASSERT_EQ(1u, sessions.size());
  expectRealOutput("grimtrim.1", sessions.front());
}

// The parser itself, on a session whose outputs end with and without a line feed.
TEST(Docs, SessionLinesSplitIntoCommandsAndOutputs) {
  const Session session = parseSession({{1, "$ grimtrim a b"},
                                        {2, ""},
                                        {3, "first"},
                                        {4, "last"},
                                        {5, ""},
                                        {6, "$ cp a b"},
                                        {7, ""},
                                        {8, "$ grimtrim -p0 a  b"},
                                        {9, "line"},
                                        {10, ""}});
  ASSERT_EQ(3u, session.steps.size());
  EXPECT_EQ((std::vector<std::string>{"grimtrim", "a", "b"}), session.steps[0].args);
  EXPECT_EQ("\nfirst\nlast", session.steps[0].output);
  EXPECT_EQ("", session.steps[1].output);
  EXPECT_EQ((std::vector<std::string>{"grimtrim", "-p0", "a", "b"}), session.steps[2].args);
  EXPECT_EQ("line\n", session.steps[2].output);
}

}  // namespace
