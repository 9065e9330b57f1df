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
  std::string_view japanese;  // the description in Japanese
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
     "                    entities the tables would change (no --dest needed)\n",
     "convert  jw_cad のファイル ({FORMATS}) のペン番号（線色）・線種・レイヤ\n"
     "         を、設定ファイル (.set) か ini ファイルの変換表に従って変換し、DIR に書\n"
     "         き出します。元のファイルは変更しません。変換表を指定しなければ、すべて\n"
     "         0（変換なし）です。DIR に同じ名前のファイルがあれば NAME.BAK として残し\n"
     "         ます。FILE ごとに 1 行と、集計を表示します。\n"
     "  -r, --recursive   FOLDER のサブフォルダも含めたすべての jw_cad ファイルを、DIR\n"
     "                    の下の同じ場所に変換します（隠しファイル・隠しフォルダと、フォ\n"
     "                    ルダへのリンクは除きます）\n"
     "  --type LIST       フォルダの中では、この種類のファイルだけを変換します\n"
     "  -j, --jobs N      N 個のファイルを同時に変換します（既定: プロセッサの数）。書\n"
     "                    き出すファイルと表示は、1 個ずつ変換したときと同じで、順番も\n"
     "                    同じです\n"
     "  --json            ファイルごとに JSON のオブジェクト（変換元、変換先、結果、理\n"
     "                    由、書き込んだバイト数、ミリ秒）を、最後に集計のオブジェクト\n"
     "                    を表示します\n"
     "  --dry-run         各 FILE を読んで変換表を当てはめ、何も書き込まずに、変換表で\n"
     "                    変わる図形の数を表示します（--dest は要りません）\n"},
    {"info", "  penmorph-cli info FILE...\n",
     "info     prints the format, version, memo and record counts of each file.\n",
     "info     各ファイルの形式、バージョン、図面メモ、レコードの数を表示します。\n"},
    {"inventory",
     "  penmorph-cli inventory [--settings FILE | --ini FILE] [-r] [--type LIST] [--json]\n"
     "                         FILE|FOLDER...\n",
     "inventory  prints, per file and in total, how many entities use each pen colour,\n"
     "         line type and layer (JWW/JWS: with the layers' names and states), by kind,\n"
     "         before and after the tables (--json: as JSON); with -r a FOLDER stands for\n"
     "         the files of its whole tree, as in convert.\n",
     "inventory  ファイルごとと合計で、線色・線種・レイヤごとの図形の数を、図形の種類\n"
     "         別に、変換表を当てはめる前と後で表示します（JWW/JWS はレイヤの名前と状\n"
     "         態も。--json: JSON で）。-r を付けると、convert と同じく FOLDER のサブ\n"
     "         フォルダも含めたすべてのファイルを読みます。\n"},
    {"check",
     "  penmorph-cli check (--settings FILE | --ini FILE) [-r] [--type LIST] [--json]\n"
     "                     FILE|FOLDER...\n",
     "check    checks drawings against a standard, the tables of a settings or ini file: a\n"
     "         drawing conforms when the tables would change nothing in it. For each one that\n"
     "         does not, prints what they would change (colours, line types, layers, names,\n"
     "         with counts), then \"N conform, N do not, N could not be read\". Writes\n"
     "         nothing; exit status 1 when a file does not conform or could not be read.\n",
     "check    図面が基準（設定ファイルか ini ファイルの変換表）に合うかを調べます。変\n"
     "         換表で何も変わらない図面は基準に合っています。合わない図面ごとに、変換\n"
     "         表で変わるもの（線色、線種、レイヤ、名前と、その数）を表示し、最後に基\n"
     "         準に合う図面、合わない図面、読めなかったファイルの数を表示します。何も\n"
     "         書き込みません。基準に合わない図面か読めなかったファイルがあれば、終了\n"
     "         ステータスは 1 です。\n"},
    {"survey", "  penmorph-cli survey [-r] [--type LIST] [--json | --csv] FILE|FOLDER...\n",
     "survey   reads every drawing once and prints, over all of them, how many parts use\n"
     "         each colour and line type and in how many files, each layer name in use\n"
     "         (blanks trimmed) with its parts, files and layers, the files per format and\n"
     "         the files that could not be read; --json: an object with files, formats,\n"
     "         colors, line_types, layers and unreadable; --csv: a row each.\n",
     "survey   すべての図面を 1 回ずつ読み、全体で、線色・線種ごとの図形の数と、それを\n"
     "         使うファイルの数、使われているレイヤ名（前後の空白は除きます）ごとの図\n"
     "         形・ファイル・レイヤ、形式ごとのファイルの数、読めなかったファイルを表\n"
     "         示します。--json: files, formats, colors, line_types, layers,\n"
     "         unreadable を持つオブジェクト。--csv: 1 項目 1 行の CSV。\n"},
    {"render",
     "  penmorph-cli render [--settings FILE | --ini FILE] [--after] [--black] FILE --out SVG\n",
     "render   draws FILE as an SVG picture, as it is or (--after) as the tables would write\n"
     "         it, on white or (--black) black.\n",
     "render   FILE を SVG の図に描きます。そのままの図面か (--after) 変換表で書き出し\n"
     "         たときの図面を、白か (--black) 黒の背景に描きます。\n"},
}};

// The option every command takes.
constexpr std::string_view kLanguageOption =
    "every command\n"
    "  --lang en|ja      the language of the usage, reasons, summaries and errors (default:\n"
    "                    Japanese where the user's language is Japanese, else English); the\n"
    "                    words converted, skipped, failed and the JSON keys stay English\n";
constexpr std::string_view kLanguageOptionJapanese =
    "どのコマンドでも\n"
    "  --lang en|ja      使い方、理由、集計、エラーの言語（既定: 利用者の言語が日本語\n"
    "                    なら日本語、ほかは英語）。converted, skipped, failed の語と\n"
    "                    JSON のキーは英語のままです\n";

constexpr std::string_view kExitStatus =
    "Exit status: 0 success, 1 a file failed, 2 usage error or unusable DIR,\n"
    "130 stopped by Ctrl+C (after the files in hand, each complete or untouched).\n";
constexpr std::string_view kExitStatusJapanese =
    "終了ステータス: 0 成功、1 失敗したファイルがある、2 使い方の誤りか使えない DIR、\n"
    "130 Ctrl+C で中止（処理中のファイルは、それぞれ書き終えるか、手を付けずに終わり\n"
    "ます）。\n";

// The usage of one command, or of them all for any other name; {TYPES} and {FORMATS} stand for
// the registry's formats.
std::string HelpOf(std::string_view command, const FormatRegistry& formats, Language language) {
  if (std::none_of(kCommandTexts.begin(), kCommandTexts.end(),
                   [&](const CommandText& text) { return text.name == command; })) {
    command = {};
  }
  const bool japanese = language == Language::kJapanese;
  std::string synopses = japanese ? "使い方:\n" : "Usage:\n";
  std::string descriptions;
  for (const CommandText& text : kCommandTexts) {
    if (command.empty() || command == text.name) {
      synopses += text.synopsis;
      descriptions += japanese ? text.japanese : text.description;
    }
  }
  if (command.empty()) {
    synopses += "  penmorph-cli --help | --version\n";
  }
  descriptions += japanese ? kLanguageOptionJapanese : kLanguageOption;
  std::string help = synopses + "\n" + descriptions + "\n" +
                     std::string(japanese ? kExitStatusJapanese : kExitStatus);
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
  UsageFormatter(const FormatRegistry& formats, Language language)
      : formats_(formats), language_(language) {}
  std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const override {
    return HelpOf(app->get_name(), formats_, language_);
  }

 private:
  const FormatRegistry& formats_;
  const Language language_;
};

// "takes ..., not "VALUE"" in `language`, after the option's name.
std::string NotAValue(Language language, const std::string& takes, const std::string& value) {
  return language == Language::kJapanese
             ? takes + "を指定してください（「" + value + "」は使えません）"
             : "takes " + takes + ", not \"" + value + "\"";
}

// -j: a count of files from 1 to kMostJobs, nothing else.
CLI::Validator JobsCheck(Language language) {
  return CLI::Validator(
      [language](std::string& value) -> std::string {
        unsigned jobs = 0;
        const char* end = value.data() + value.size();
        auto [at, error] = std::from_chars(value.data(), end, jobs);
        if (error != std::errc() || at != end || jobs < 1 || jobs > kMostJobs) {
          const std::string most = std::to_string(kMostJobs);
          return NotAValue(language,
                           Say(language, "a number of files from 1 to " + most,
                               "1 から " + most + " までのファイルの数"),
                           value);
        }
        return {};
      },
      "N");
}

// --lang: the names LanguageNamed knows.
CLI::Validator LanguageCheck(Language language) {
  return CLI::Validator(
      [language](std::string& value) -> std::string {
        return LanguageNamed(value)
                   ? std::string()
                   : NotAValue(language, Say(language, "en or ja", "「en」か「ja」"), value);
      },
      "en|ja");
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
  std::string language;  // read ahead by LanguageOfArguments; kept here only to be accepted
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

void AddLanguage(CLI::App& command, Values& values, Language language) {
  command.add_option("--lang", values.language)->type_name("en|ja")->check(LanguageCheck(language));
}

// What the options ask that CLI11 cannot check: the problem, if any.
std::optional<std::string> Complete(CommandLine& line, const Values& values, const Options& options,
                                    const FormatRegistry& formats) {
  const Language language = line.language;
  for (const std::string& list : values.type_lists) {
    if (auto problem = ParseTypeList(list, formats, line.selection.types, language)) {
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
    return Say(language, "convert needs --dest DIR", "convert には --dest DIR が必要です");
  }
  if (line.files.empty()) {
    return command + Say(language, " needs at least one FILE", " には FILE が 1 個以上必要です");
  }
  if (command == "check" && !line.tables_file) {
    return Say(language, "check needs the standard: --settings FILE or --ini FILE",
               "check には基準の --settings FILE か --ini FILE が必要です");
  }
  if (command == "render" && line.files.size() != 1) {
    return Say(language, "render takes one FILE", "render の FILE は 1 個だけです");
  }
  if (command == "render" && (!line.out_file || line.out_file->empty())) {
    return Say(language, "render needs --out FILE.svg", "render には --out FILE.svg が必要です");
  }
  return std::nullopt;
}

// CLI11's messages start as sentences; ours, after "penmorph-cli: ", do not. Its word for an
// option given twice reads like a count of arguments, so that one is said plainly. In Japanese
// the errors a user meets most are said in Japanese; CLI11's rarer words are quoted as they are.
std::string InOurWords(const CLI::ParseError& error, Language language) {
  std::string message = error.what();
  const bool japanese = language == Language::kJapanese;
  if (const std::size_t at = message.find(": At Most 1 required"); at != std::string::npos) {
    return message.substr(0, at) +
           (japanese ? " は 1 回しか指定できません" : " may be given only once");
  }
  if (japanese) {
    if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr) {
      return message;  // "--jobs: " and our own words
    }
    if (const std::size_t at = message.find(" excludes ");
        dynamic_cast<const CLI::ExcludesError*>(&error) != nullptr && at != std::string::npos) {
      return message.substr(0, at) + " と " + message.substr(at + 10) + " は一緒に指定できません";
    }
    if (const std::size_t at = message.find(": ");
        dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr && at != std::string::npos) {
      return "使えない引数です: " + message.substr(at + 2);
    }
    return "引数を読めません（" + message + "）";
  }
  if (!message.empty() && message[0] >= 'A' && message[0] <= 'Z') {
    message[0] = static_cast<char>(message[0] - 'A' + 'a');
  }
  return message;
}

}  // namespace

int UsageError(std::ostream& err, Language language, std::string_view command,
               std::string_view problem) {
  const std::string help =
      "penmorph-cli " + std::string(command) + (command.empty() ? "" : " ") + "--help";
  err << "penmorph-cli: " << problem << "\n"
      << (language == Language::kJapanese ? "（" + help + " で使い方を表示します）"
                                          : "(" + help + " shows the usage)")
      << "\n";
  return kExitUsage;
}

std::optional<int> ParseCommandLine(const std::vector<std::string>& args,
                                    const FormatRegistry& formats, CommandLine& line,
                                    std::ostream& out, std::ostream& err, Language language) {
  // --lang is read first: the usage and the errors of arguments that do not parse speak it too.
  line.language = LanguageOfArguments(args, language);
  language = line.language;
  CLI::App app("", "penmorph-cli");
  // What the commands inherit: --help with the usage above; no "/name" options on Windows
  // either, where "/plans/a.jww" is as much a file as on Linux.
  app.formatter(std::make_shared<UsageFormatter>(formats, language));
  app.allow_windows_style_options(false);
  bool version = false;
  app.add_flag("--version", version);
  Values values;
  Options options;
  AddLanguage(app, values, language);

  CLI::App& convert = *app.add_subcommand("convert");
  options.destination = convert.add_option("--dest", values.destination)->type_name("DIR");
  AddTables(convert, values, options);
  AddSelection(convert, line, values);
  options.jobs =
      convert.add_option("-j,--jobs", values.jobs)->type_name("N")->check(JobsCheck(language));
  convert.add_flag("--json", line.json);
  convert.add_flag("--dry-run", line.dry_run);
  AddFiles(convert, line);
  AddLanguage(convert, values, language);

  CLI::App& info = *app.add_subcommand("info");
  AddFiles(info, line);
  AddLanguage(info, values, language);

  CLI::App& inventory = *app.add_subcommand("inventory");
  AddTables(inventory, values, options);
  AddSelection(inventory, line, values);
  inventory.add_flag("--json", line.json);
  AddFiles(inventory, line);
  AddLanguage(inventory, values, language);

  CLI::App& check = *app.add_subcommand("check");
  AddTables(check, values, options);
  AddSelection(check, line, values);
  check.add_flag("--json", line.json);
  AddFiles(check, line);
  AddLanguage(check, values, language);

  CLI::App& survey = *app.add_subcommand("survey");
  AddSelection(survey, line, values);
  CLI::Option* survey_json = survey.add_flag("--json", line.json);
  survey.add_flag("--csv", line.csv)->excludes(survey_json);
  AddFiles(survey, line);
  AddLanguage(survey, values, language);

  CLI::App& render = *app.add_subcommand("render");
  AddTables(render, values, options);
  render.add_flag("--after", line.after);
  render.add_flag("--black", line.black);
  options.out_file = render.add_option("--out", values.out_file)->type_name("SVG");
  AddFiles(render, line);
  AddLanguage(render, values, language);

  // `penmorph-cli help [COMMAND]`, as --help.
  CLI::App& help = *app.add_subcommand("help");
  help.add_option("COMMAND", values.help_topic);
  AddLanguage(help, values, language);

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
    return UsageError(err, language, chosen.empty() ? "" : chosen.front()->get_name(),
                      InOurWords(error, language));
  }
  if (version) {
    out << "penmorph-cli " << PENMORPH_VERSION << "\n";
    return kExitOk;
  }
  const std::vector<CLI::App*> chosen = app.get_subcommands();
  if (chosen.empty()) {
    if (app.remaining().empty()) {
      return UsageError(err, language, "",
                        Say(language, "no command given", "コマンドがありません"));
    }
    const std::string word = app.remaining().front();
    const bool option = word.starts_with("-");
    return UsageError(
        err, language, "",
        language == Language::kJapanese
            ? word + (option ? " というオプションはありません" : " というコマンドはありません")
            : (option ? "unknown option " : "unknown command ") + word);
  }
  line.command = chosen.front()->get_name();
  if (line.command == "help") {
    out << HelpOf(values.help_topic.empty() ? "" : values.help_topic.front(), formats, language);
    return kExitOk;
  }
  if (auto problem = Complete(line, values, options, formats)) {
    return UsageError(err, language, line.command, *problem);
  }
  return std::nullopt;
}

}  // namespace penmorph
