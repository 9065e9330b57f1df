#include "cli/survey_command.h"

#include <string>

#include "app/archive_survey.h"
#include "app/code_labels.h"
#include "cli/cli_app.h"
#include "cli/json_output.h"
#include "cli/preview_commands.h"
#include "cli/reason_text.h"
#include "common/path_text.h"
#include "common/text.h"
#include "convert/file_preview.h"
#include "preview/survey.h"

namespace penmorph {

namespace {

using preview::CodeFamily;
using preview::SurveyCount;
using CodeRows = std::map<std::pair<CodeFamily, int>, SurveyCount>;
using Label = std::string (*)(CodeFamily, int);

std::string FamilyName(CodeFamily family) {
  return family == CodeFamily::kDos ? "JWC/JWK" : "JWW/JWS";
}

std::string AddressList(const std::set<int>& addresses, std::string_view separator) {
  std::string list;
  for (int index : addresses) {
    list += (list.empty() ? "" : std::string(separator)) + preview::LayerLabel(index);
  }
  return list;
}

Json JsonCodeRows(const CodeRows& rows, Label label) {
  Json list = Json::array();
  for (const auto& [key, count] : rows) {
    list.push_back({{"family", FamilyName(key.first)},
                    {"code", key.second},
                    {"label", JsonText(label(key.first, key.second))},
                    {"entities", count.entities},
                    {"files", count.files}});
  }
  return list;
}

void PrintJson(const preview::Survey& survey, std::ostream& out, Language language) {
  Json json;
  json["files"] = survey.files();
  Json& formats = json["formats"] = Json::object();
  for (const auto& [format, files] : survey.formats()) {
    formats[format] = files;
  }
  json["colors"] = JsonCodeRows(survey.colors(), &preview::ColorLabel);
  json["line_types"] = JsonCodeRows(survey.line_types(), &preview::LineTypeLabel);
  Json& layers = json["layers"] = Json::array();
  for (const preview::SurveyLayerName& layer : survey.LayerNames()) {
    Json addresses = Json::array();
    for (int index : layer.addresses) {
      addresses.push_back(preview::LayerLabel(index));
    }
    layers.push_back({{"name", JsonText(layer.name)},
                      {"entities", layer.count.entities},
                      {"files", layer.count.files},
                      {"addresses", std::move(addresses)}});
  }
  Json& unreadable = json["unreadable"] = Json::array();
  for (const preview::SurveyFailure& failure : survey.unreadable()) {
    Json entry;
    PutName(entry, "file", failure.file);
    entry["reason"] = JsonText(FailureText(failure.error, language));
    unreadable.push_back(std::move(entry));
  }
  out << JsonDump(json) << "\n";
}

void PrintCsv(const preview::Survey& survey, std::ostream& out, Language language) {
  out << "section,family,code,label,name,entities,files,layers\r\n";
  auto codes = [&](const char* section, const CodeRows& rows, Label label) {
    for (const auto& [key, count] : rows) {
      out << section << "," << FamilyName(key.first) << "," << key.second << ","
          << CsvField(label(key.first, key.second)) << ",," << count.entities << "," << count.files
          << ",\r\n";
    }
  };
  codes("colour", survey.colors(), &preview::ColorLabel);
  codes("line type", survey.line_types(), &preview::LineTypeLabel);
  for (const preview::SurveyLayerName& layer : survey.LayerNames()) {
    out << "layer name,,,," << CsvField(layer.name) << "," << layer.count.entities << ","
        << layer.count.files << "," << CsvField(AddressList(layer.addresses, " ")) << "\r\n";
  }
  for (const auto& [format, files] : survey.formats()) {
    out << "format,,," << format << ",,," << files << ",\r\n";
  }
  for (const preview::SurveyFailure& failure : survey.unreadable()) {
    out << "unreadable,,,," << CsvField(failure.file + ": " + FailureText(failure.error, language))
        << ",,,\r\n";
  }
}

// The first line in Japanese: the window's summary of a survey.
std::string JapaneseSummary(const preview::Survey& survey) {
  app::SurveyReport report;
  report.survey = survey;
  for (const preview::SurveyFailure& failure : survey.unreadable()) {
    report.unreadable.push_back({PathFromUtf8(failure.file), failure.file,
                                 FailureText(failure.error, Language::kJapanese)});
  }
  return app::SurveySummary(report);
}

void PrintLines(const preview::Survey& survey, std::ostream& out, Language language) {
  const bool japanese = language == Language::kJapanese;
  if (japanese) {
    out << JapaneseSummary(survey) << "\n";
  } else {
    out << survey.files() << " files read";
    std::string formats;
    for (const auto& [format, files] : survey.formats()) {
      formats += (formats.empty() ? "" : ", ") + format + " " + std::to_string(files);
    }
    out << (formats.empty() ? "" : " (" + formats + ")") << ", " << survey.unreadable().size()
        << " could not be read\n";
  }
  // "954 in 3" or "954 個、3 ファイル"
  auto in_files = [&](const preview::SurveyCount& count) {
    return japanese ? std::to_string(count.entities) + " 個、" + std::to_string(count.files) +
                          " ファイル"
                    : std::to_string(count.entities) + " in " + std::to_string(count.files);
  };
  auto codes = [&](std::string_view heading, const CodeRows& rows, Label label) {
    if (rows.empty()) {
      return;
    }
    out << heading << (japanese ? "（図形の数、ファイルの数）:\n" : " (parts in files):\n");
    for (const auto& [key, count] : rows) {
      out << "  " << FamilyName(key.first) << " " << label(key.first, key.second) << ": "
          << in_files(count) << "\n";
    }
  };
  codes(japanese ? "線色" : "colours", survey.colors(),
        japanese ? &app::ColorText : &preview::ColorLabel);
  codes(japanese ? "線種" : "line types", survey.line_types(), &preview::LineTypeLabel);
  const std::vector<preview::SurveyLayerName> layers = survey.LayerNames();
  if (!layers.empty()) {
    out << (japanese ? "レイヤ名（図形の数、ファイルの数、レイヤ）:\n"
                     : "layer names (parts in files, at layers):\n");
  }
  for (const preview::SurveyLayerName& layer : layers) {
    out << "  \"" << layer.name << "\": " << in_files(layer.count)
        << (japanese ? "、レイヤ " : ", at ") << AddressList(layer.addresses, ", ") << "\n";
  }
  for (const preview::SurveyFailure& failure : survey.unreadable()) {
    out << "failed " << failure.file << ": " << FailureText(failure.error, language) << "\n";
  }
}

}  // namespace

int PrintSurvey(SourceCursor& files, SurveyForm form, std::ostream& out,
                const FormatRegistry& formats, Language language) {
  preview::Survey survey;
  const ConversionTables none;  // what the files hold, before any table
  while (std::optional<SourceFile> found = files.Next()) {
    auto inventory = InventoryOfFile(formats, found->source, none);
    if (inventory.ok()) {
      survey.Add(inventory.value());
    } else if (inventory.error().kind != ErrorKind::kNotADrawing) {
      survey.AddUnreadable(found->shown, inventory.error());
    }
  }
  for (const std::string& folder : files.unreadable()) {
    survey.AddUnreadable(folder, IoError("the folder could not be read"));
  }
  switch (form) {
    case SurveyForm::kJson:
      PrintJson(survey, out, language);
      break;
    case SurveyForm::kCsv:
      PrintCsv(survey, out, language);
      break;
    case SurveyForm::kLines:
      PrintLines(survey, out, language);
      break;
  }
  out.flush();
  return survey.unreadable().empty() ? kExitOk : kExitFileFailed;
}

int RunSurveyCommand(const CommandLine& line, std::ostream& out, std::ostream& err,
                     const FormatRegistry& formats) {
  return ReadEachSource(line, out, err, formats,
                        [](SourceCursor& files, const ConversionTables&, const CommandLine& line,
                           std::ostream& out, const FormatRegistry& formats) {
                          const SurveyForm form = line.json  ? SurveyForm::kJson
                                                  : line.csv ? SurveyForm::kCsv
                                                             : SurveyForm::kLines;
                          return PrintSurvey(files, form, out, formats, line.language);
                        });
}

}  // namespace penmorph
