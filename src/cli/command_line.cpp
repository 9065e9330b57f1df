#include "cli/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include <CLI/CLI.hpp>

#include "cli/cli_app.h"

#ifndef PENMORPH_VERSION
#define PENMORPH_VERSION "dev"
#endif

namespace penmorph {

namespace {

constexpr unsigned kMostJobs = 256;

struct CommandText {
  std::string_view name;
  std::string_view synopsis;
  std::string_view description;
};

constexpr std::array<CommandText, 6> kCommandTexts = {{
    {"convert",
     "  penmorph-cli convert --dest DIR [--settings FILE | --ini FILE] [-r] [-j N]\n"
     "                       [--type {TYPES}] [--json] FILE|FOLDER...\n"
     "  penmorph-cli convert --dry-run [--settings FILE | --ini FILE] [-r] [--type LIST]\n"
     "                       FILE|FOLDER...\n",
     "convert  writes a converted copy of each jw_cad file ({FORMATS}) into DIR,\n"
     "         remapping pens and line types through the tables of a settings (.set) or\n"
     "         ini file (all tables 0, no conversion, without one). An existing output is\n"
     "         kept as NAME.BAK. Prints one line per FILE and a summary.\n"
     "  -r, --recursive   a FOLDER converts the jw_cad files of its whole tree, each to the\n"
     "                    same place under DIR (hidden entries and links to folders passed over)\n"
     "  --type LIST       in a tree, only files of these types\n"
     "  -j, --jobs N      N files at once (default: one per processor); the same outputs and\n"
     "                    lines, in the same order, as one at a time\n"
     "  --json            a JSON object per file (source, destination, outcome, reason,\n"
     "                    bytes written, milliseconds) and one for the summary\n"
     "  --dry-run         reads and remaps each FILE, writes nothing and prints how many\n"
     "                    entities the tables would change (no --dest needed)\n"},
    {"info", "  penmorph-cli info FILE...\n",
     "info     prints the format, version, memo and record counts of each file.\n"},
    {"inventory",
     "  penmorph-cli inventory [--settings FILE | --ini FILE] [-r] [--type LIST] [--json]\n"
     "                         FILE|FOLDER...\n",
     "inventory  prints, per file and in total, how many entities use each pen colour,\n"
     "         line type and layer (JWW/JWS: with the layers' names and states), by kind,\n"
     "         before and after the tables (--json: as JSON); with -r a FOLDER stands for\n"
     "         the files of its whole tree, as in convert.\n"},
    {"check",
     "  penmorph-cli check (--settings FILE | --ini FILE) [-r] [--type LIST] [--json]\n"
     "                     FILE|FOLDER...\n",
     "check    checks drawings against a standard, the tables of a settings or ini file: a\n"
     "         drawing conforms when the tables would change nothing in it. For each one that\n"
     "         does not, prints what they would change (colours, line types, layers, names,\n"
     "         with counts), then \"N conform, N do not, N could not be read\". Writes\n"
     "         nothing; exit status 1 when a file does not conform or could not be read.\n"},
    {"survey", "  penmorph-cli survey [-r] [--type LIST] [--json | --csv] FILE|FOLDER...\n",
     "survey   reads every drawing once and prints, over all of them, how many parts use\n"
     "         each colour and line type and in how many files, each layer name in use\n"
     "         (blanks trimmed) with its parts, files and layers, the files per format and\n"
     "         the files that could not be read; --json: an object with files, formats,\n"
     "         colors, line_types, layers and unreadable; --csv: a row each.\n"},
    {"render",
     "  penmorph-cli render [--settings FILE | --ini FILE] [--after] [--black] FILE --out SVG\n",
     "render   draws FILE as an SVG picture, as it is or (--after) as the tables would write\n"
     "         it, on white or (--black) black.\n"},
}};

constexpr std::string_view kExitStatus =
    "Exit status: 0 success, 1 a file failed, 2 usage error or unusable DIR,\n"
    "130 stopped by Ctrl+C (after the files in hand, each complete or untouched).\n";

// The usage of one command, or of them all for any other name; {TYPES} and {FORMATS} stand for
// the registry's formats.
std::string HelpOf(std::string_view command, const FormatRegistry& formats) {
  if (std::none_of(kCommandTexts.begin(), kCommandTexts.end(),
                   [&](const CommandText& text) { return text.name == command; })) {
    command = {};
  }
  std::string synopses = "Usage:\n";
  std::string descriptions;
  for (const CommandText& text : kCommandTexts) {
    if (command.empty() || command == text.name) {
      synopses += text.synopsis;
      descriptions += text.description;
    }
  }
  if (command.empty()) {
    synopses += "  penmorph-cli --help | --version\n";
  }
  std::string help = synopses + "\n" + descriptions + "\n" + std::string(kExitStatus);
  std::string types;
  for (const std::string& name : TypeNames(formats)) {
    types += (types.empty() ? "" : ",") + name;
  }
  for (const auto& [mark, text] : {std::pair<std::string_view, std::string>{"{TYPES}", types},
                                   {"{FORMATS}", FormatNames(formats, ", ")}}) {
    if (const std::size_t at = help.find(mark); at != std::string::npos) {
      help.replace(at, mark.size(), text);
    }
  }
  return help;
}

// CLI11 asks this for the text of --help: the usage above, whichever command it is given to.
class UsageFormatter : public CLI::FormatterBase {
 public:
  explicit UsageFormatter(const FormatRegistry& formats) : formats_(formats) {}
  std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
    return HelpOf(app->get_name(), formats_);
  }

 private:
  const FormatRegistry& formats_;
};

// -j: a count of files from 1 to kMostJobs, nothing else.
std::string CheckJobs(std::string& value) {
  unsigned jobs = 0;
  const char* end = value.data() + value.size();
  auto [at, error] = std::from_chars(value.data(), end, jobs);
  if (error != std::errc() || at != end || jobs < 1 || jobs > kMostJobs) {
    return "takes a number of files from 1 to " + std::to_string(kMostJobs) + ", not \"" + value +
           "\"";
  }
  return {};
}

// The options' values as CLI11 fills them, before they become a CommandLine.
struct Values {
  std::string destination;
  std::string settings;
  std::string ini;
  std::vector<std::string> type_lists;
  unsigned jobs = 0;
  std::string out_file;
  std::vector<std::string> help_topic;
};

// The options whose count tells whether they were given at all.
struct Options {
  CLI::Option* destination = nullptr;
  CLI::Option* jobs = nullptr;
  CLI::Option* out_file = nullptr;
  std::vector<CLI::Option*> settings;  // --settings and --ini of every command
};

void AddTables(CLI::App& command, Values& values, Options& options) {
  CLI::Option* settings = command.add_option("--settings", values.settings)->type_name("FILE");
  CLI::Option* ini = command.add_option("--ini", values.ini)->type_name("FILE");
  settings->excludes(ini);
  options.settings.insert(options.settings.end(), {settings, ini});
}

void AddSelection(CLI::App& command, CommandLine& line, Values& values) {
  command.add_flag("-r,--recursive", line.selection.recursive);
  // One list per --type, so that the FILEs after it stay FILEs.
  command.add_option("--type", values.type_lists)->type_name("LIST")->allow_extra_args(false);
}

void AddFiles(CLI::App& command, CommandLine& line) {
  command.add_option("FILE", line.files);
}

// What the options ask that CLI11 cannot check: the problem, if any.
std::optional<std::string> Complete(CommandLine& line, const Values& values, const Options& options,
                                    const FormatRegistry& formats) {
  for (const std::string& list : values.type_lists) {
    if (auto problem = ParseTypeList(list, formats, line.selection.types)) {
      return problem;
    }
  }
  if (options.destination->count() > 0) {
    line.destination = values.destination;
  }
  if (options.jobs->count() > 0) {
    line.jobs = values.jobs;
  }
  if (options.out_file->count() > 0) {
    line.out_file = values.out_file;
  }
  for (const CLI::Option* option : options.settings) {
    if (option->count() > 0) {
      line.tables_file = option->get_name() == "--ini" ? values.ini : values.settings;
    }
  }
  const std::string& command = line.command;
  if (command == "convert" && !line.destination && !line.dry_run) {
    return "convert needs --dest DIR";
  }
  if (line.files.empty()) {
    return command + " needs at least one FILE";
  }
  if (command == "check" && !line.tables_file) {
    return "check needs the standard: --settings FILE or --ini FILE";
  }
  if (command == "render" && line.files.size() != 1) {
    return "render takes one FILE";
  }
  if (command == "render" && (!line.out_file || line.out_file->empty())) {
    return "render needs --out FILE.svg";
  }
  return std::nullopt;
}

// CLI11's messages start as sentences; ours, after "penmorph-cli: ", do not. Its word for an
// option given twice reads like a count of arguments, so that one is said plainly.
std::string InOurWords(std::string message) {
  if (const std::size_t at = message.find(": At Most 1 required"); at != std::string::npos) {
    return message.substr(0, at) + " may be given only once";
  }
  if (!message.empty() && message[0] >= 'A' && message[0] <= 'Z') {
    message[0] = static_cast<char>(message[0] - 'A' + 'a');
  }
  return message;
}

}  // namespace

int UsageError(std::ostream& err, std::string_view command, std::string_view problem) {
  err << "penmorph-cli: " << problem << "\n(penmorph-cli " << command
      << (command.empty() ? "" : " ") << "--help shows the usage)\n";
  return kExitUsage;
}

std::optional<int> ParseCommandLine(const std::vector<std::string>& args,
                                    const FormatRegistry& formats, CommandLine& line,
                                    std::ostream& out, std::ostream& err) {
  CLI::App app("", "penmorph-cli");
  // What the commands inherit: --help with the usage above; no "/name" options on Windows
  // either, where "/plans/a.jww" is as much a file as on Linux.
  app.formatter(std::make_shared<UsageFormatter>(formats));
  app.allow_windows_style_options(false);
  bool version = false;
  app.add_flag("--version", version);
  Values values;
  Options options;

  CLI::App& convert = *app.add_subcommand("convert");
  options.destination = convert.add_option("--dest", values.destination)->type_name("DIR");
  AddTables(convert, values, options);
  AddSelection(convert, line, values);
  options.jobs = convert.add_option("-j,--jobs", values.jobs)
                     ->type_name("N")
                     ->check(CLI::Validator(CheckJobs, "N"));
  convert.add_flag("--json", line.json);
  convert.add_flag("--dry-run", line.dry_run);
  AddFiles(convert, line);

  AddFiles(*app.add_subcommand("info"), line);

  CLI::App& inventory = *app.add_subcommand("inventory");
  AddTables(inventory, values, options);
  AddSelection(inventory, line, values);
  inventory.add_flag("--json", line.json);
  AddFiles(inventory, line);

  CLI::App& check = *app.add_subcommand("check");
  AddTables(check, values, options);
  AddSelection(check, line, values);
  check.add_flag("--json", line.json);
  AddFiles(check, line);

  CLI::App& survey = *app.add_subcommand("survey");
  AddSelection(survey, line, values);
  CLI::Option* survey_json = survey.add_flag("--json", line.json);
  survey.add_flag("--csv", line.csv)->excludes(survey_json);
  AddFiles(survey, line);

  CLI::App& render = *app.add_subcommand("render");
  AddTables(render, values, options);
  render.add_flag("--after", line.after);
  render.add_flag("--black", line.black);
  options.out_file = render.add_option("--out", values.out_file)->type_name("SVG");
  AddFiles(render, line);

  // `penmorph-cli help [COMMAND]`, as --help.
  CLI::App& help = *app.add_subcommand("help");
  help.add_option("COMMAND", values.help_topic);

  // At most one command, so that a FILE named like one is a FILE; a word that names none is
  // left over and told of below.
  app.require_subcommand(0, 1);
  app.allow_extras();

  std::vector<std::string> reversed(args.rbegin(), args.rend());  // as CLI11 takes them
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitOk;
  } catch (const CLI::ParseError& error) {
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    return UsageError(err, chosen.empty() ? "" : chosen.front()->get_name(),
                      InOurWords(error.what()));
  }
  if (version) {
    out << "penmorph-cli " << PENMORPH_VERSION << "\n";
    return kExitOk;
  }
  const std::vector<CLI::App*> chosen = app.get_subcommands();
  if (chosen.empty()) {
    if (app.remaining().empty()) {
      return UsageError(err, "", "no command given");
    }
    const std::string word = app.remaining().front();
    return UsageError(err, "",
                      (word.starts_with("-") ? "unknown option " : "unknown command ") + word);
  }
  line.command = chosen.front()->get_name();
  if (line.command == "help") {
    out << HelpOf(values.help_topic.empty() ? "" : values.help_topic.front(), formats);
    return kExitOk;
  }
  if (auto problem = Complete(line, values, options, formats)) {
    return UsageError(err, line.command, *problem);
  }
  return std::nullopt;
}

}  // namespace penmorph
