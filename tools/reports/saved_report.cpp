#include "tools/reports/saved_report.h"

#include <algorithm>
#include <cctype>

#include "identifiers/digest_text.h"
#include "identifiers/identifier_recipes.h"
#include "sources/machine_sources.h"
#include "tools/explaining/explain_report.h"
#include "tools/reports/json_text.h"

namespace nodmark::tools {
namespace {

// A report nests four levels deep; anything far deeper is not one, and stopping there
// keeps a file of brackets from costing more than its size.
constexpr int kMaxDepth = 16;
constexpr std::size_t kSerialDigits = 8;
constexpr int kHexBase = 16;

// A member and where it sits, as "adapters.list[2].address", for the messages.
struct Node {
  const Json& json;
  std::string path;
};

std::string Article(const Json& json) {
  const std::string type = json.type_name();
  if (json.is_null()) return type;
  return (type[0] == 'a' || type[0] == 'o' ? "an " : "a ") + type;
}

// The parser's message without its code, and with every byte outside printable ASCII
// replaced, so that the reason stays one readable line.
std::string OneLine(const char* message) {
  std::string text = message;
  const std::size_t codeEnd = text.find("] ");
  if (text.rfind("[json.exception", 0) == 0 && codeEnd != std::string::npos) {
    text.erase(0, codeEnd + 2);
  }
  for (char& c : text) {
    if (!std::isprint(static_cast<unsigned char>(c))) c = '?';
  }
  return text;
}

// Reads members by path and throws UnreadableReport naming the report and the member.
class ReportReader {
 public:
  explicit ReportReader(std::string name) : name_(std::move(name)) {}

  [[noreturn]] void Fail(const std::string& what) const {
    throw UnreadableReport(name_ + ": " + what);
  }
  [[noreturn]] void Fail(const Node& node, const std::string& what) const {
    Fail("member \"" + node.path + "\" " + what);
  }

  Json Parse(std::string_view text) const {
    if (text.empty()) Fail("the file is empty, not a report");
    const auto limitDepth = [this](int depth, Json::parse_event_t, Json&) {
      if (depth > kMaxDepth) {
        Fail("not a nodmark report: the JSON nests deeper than " + std::to_string(kMaxDepth) +
             " levels");
      }
      return true;
    };
    try {
      return Json::parse(text.begin(), text.end(), limitDepth);
    } catch (const Json::parse_error& error) {
      if (error.byte > text.size()) {
        Fail("truncated: the JSON ends after " + std::to_string(text.size()) +
             " bytes, before it is complete");
      }
      Fail("not JSON: " + OneLine(error.what()));
    } catch (const Json::exception& error) {
      // The parser's other refusals, such as a number no double holds.
      Fail("not JSON: " + OneLine(error.what()));
    }
  }

  Node Member(const Node& object, const char* key) const {
    const std::string path = object.path.empty() ? key : object.path + "." + key;
    const auto found = object.json.find(key);
    if (found == object.json.end()) {
      Fail("member \"" + path + "\" is missing: the report was cut short or is not nodmark's");
    }
    return {*found, path};
  }

  std::optional<Node> OptionalMember(const Node& object, const char* key) const {
    if (!object.json.contains(key)) return std::nullopt;
    return Member(object, key);
  }

  Node Element(const Node& array, std::size_t index) const {
    return {array.json[index], array.path + "[" + std::to_string(index) + "]"};
  }

  const Node& Expect(const Node& node, bool isExpected, const char* expected) const {
    if (!isExpected) Fail(node, "is " + Article(node.json) + ", not " + expected);
    return node;
  }
  const Node& Object(const Node& node) const {
    return Expect(node, node.json.is_object(), "an object");
  }
  const Node& Array(const Node& node) const {
    return Expect(node, node.json.is_array(), "an array");
  }
  bool Boolean(const Node& node) const {
    return Expect(node, node.json.is_boolean(), "true or false").json.get<bool>();
  }
  bool OptionalBoolean(const Node& object, const char* key, bool defaultValue) const {
    const std::optional<Node> node = OptionalMember(object, key);
    return node ? Boolean(*node) : defaultValue;
  }

  // The bytes of a text member, as JsonText wrote them.
  std::string Text(const Node& node) const {
    Expect(node, node.json.is_string(), "a string");
    std::optional<std::string> bytes = BytesOfJsonText(node.json);
    if (!bytes) Fail(node, "holds a character above U+00FF, which no byte of a machine gives");
    return std::move(*bytes);
  }
  std::optional<std::string> TextOrNull(const Node& node) const {
    if (node.json.is_null()) return std::nullopt;
    Expect(node, node.json.is_string(), "a string or null");
    return Text(node);
  }
  // The text, or "" for null where the report withheld the kind it holds.
  std::string TextUnlessWithheld(const Node& node, const Contents& withheld, Content kind) const {
    if (node.json.is_null() && withheld.test(static_cast<std::size_t>(kind))) return "";
    return Text(node);
  }
  std::string OptionalText(const Node& object, const char* key) const {
    const std::optional<Node> node = OptionalMember(object, key);
    if (!node) return "";
    return TextOrNull(*node).value_or("");
  }

  // `digits` upper- or lower-case hex digits, as a number.
  std::uint64_t Hex(const Node& node, const std::string& text, std::size_t digits) const {
    const bool isHex = text.size() == digits && std::all_of(text.begin(), text.end(), [](char c) {
                         return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                       });
    if (!isHex)
      Fail(node,
           "is \"" + OneLine(text.c_str()) + "\", not " + std::to_string(digits) + " hex digits");
    return std::stoull(text, nullptr, kHexBase);
  }

 private:
  std::string name_;
};

SavedAdapter ReadAdapter(const ReportReader& reader, const Node& node, const Contents& withheld) {
  reader.Object(node);
  SavedAdapter adapter;
  const Node description = reader.Member(node, "description");
  adapter.description =
      reader.TextUnlessWithheld(description, withheld, Content::kAdapterDescriptions);
  if (adapter.description.size() > platform::kAdapterDescriptionSize) {
    reader.Fail(description, "holds " + std::to_string(adapter.description.size()) +
                                 " bytes; a description holds at most " +
                                 std::to_string(platform::kAdapterDescriptionSize));
  }
  const Node address = reader.Member(node, "address");
  const std::string addressText =
      reader.TextUnlessWithheld(address, withheld, Content::kAdapterAddresses);
  const std::uint64_t value =
      addressText.empty() && address.json.is_null()
          ? 0
          : reader.Hex(address, addressText, 2 * platform::kAdapterAddressSize);
  for (std::size_t i = 0; i < adapter.address.size(); ++i) {
    const std::size_t shift = 8 * (adapter.address.size() - 1 - i);
    adapter.address[i] = static_cast<std::uint8_t>(value >> shift);
  }
  adapter.wireless = reader.OptionalBoolean(node, "wireless", false);
  adapter.removableBus = reader.OptionalBoolean(node, "removable_bus", false);
  return adapter;
}

void ReadAdapters(const ReportReader& reader, const Node& root, SavedReport& report) {
  const Node adapters = reader.Object(reader.Member(root, "adapters"));
  report.adaptersListed = reader.Boolean(reader.Member(adapters, "listed"));
  const Node list = reader.Array(reader.Member(adapters, "list"));
  if (list.json.size() > platform::kMaxAdapters) {
    reader.Fail(list, "holds " + std::to_string(list.json.size()) +
                          " adapters; a listing holds at most " +
                          std::to_string(platform::kMaxAdapters));
  }
  for (std::size_t i = 0; i < list.json.size(); ++i) {
    report.adapters.push_back(ReadAdapter(reader, reader.Element(list, i), report.withheld));
  }
  const std::optional<Node> entries = reader.OptionalMember(adapters, "filter_entries");
  const bool entriesWithheld =
      entries && entries->json.is_null() &&
      report.withheld.test(static_cast<std::size_t>(Content::kFilterEntries));
  if (entries && !entriesWithheld) {
    reader.Array(*entries);
    for (std::size_t i = 0; i < entries->json.size(); ++i) {
      report.filterEntries.push_back(reader.Text(reader.Element(*entries, i)));
    }
  }
}

// Kinds of later versions are left out: no member of this version holds them.
void ReadWithheld(const ReportReader& reader, const Node& root, SavedReport& report) {
  const std::optional<Node> withheld = reader.OptionalMember(root, "withheld");
  if (!withheld) return;
  reader.Array(*withheld);
  for (std::size_t i = 0; i < withheld->json.size(); ++i) {
    if (const std::optional<Content> kind =
            ContentOfCode(reader.Text(reader.Element(*withheld, i)))) {
      report.withheld.set(static_cast<std::size_t>(*kind));
    }
  }
}

void ReadInputs(const ReportReader& reader, const Node& root, SavedReport& report) {
  const Node volume = reader.Object(reader.Member(root, "volume"));
  const Node serial = reader.Member(volume, "serial");
  if (const std::optional<std::string> text = reader.TextOrNull(serial)) {
    report.volumeSerial = static_cast<std::uint32_t>(reader.Hex(serial, *text, kSerialDigits));
  }

  const Node processor = reader.Object(reader.Member(root, "processor"));
  report.processorSignature = reader.TextUnlessWithheld(
      reader.Member(processor, "signature"), report.withheld, Content::kProcessorSignature);

  const Node firmware = reader.Object(reader.Member(root, "firmware"));
  report.firmwareText = reader.TextOrNull(reader.Member(firmware, "text")).value_or("");
  report.firmwareProbe = reader.OptionalText(firmware, "probe");
  report.firmwareMapped =
      reader.OptionalBoolean(firmware, "mapped", /*defaultValue=*/!report.firmwareText.empty());

  const Node store = reader.Object(reader.Member(root, "store"));
  report.storeValue =
      reader.TextUnlessWithheld(reader.Member(store, "value"), report.withheld, Content::kRandomId);
  report.settingsTag = reader.Text(reader.Member(store, "settings_tag"));
  report.storePath = reader.OptionalText(store, "path");
  report.storeOutcome = reader.OptionalText(store, "outcome");
}

}  // namespace

SavedReport ParseSavedReport(std::string_view json, const std::string& name) {
  const ReportReader reader(name);
  const Json parsed = reader.Parse(json);
  if (!parsed.is_object()) {
    reader.Fail("not a nodmark report: the JSON is " + Article(parsed) + ", not an object");
  }
  const Node root{parsed, ""};
  SavedReport report;
  report.name = name;
  report.nodmarkOld = reader.Text(reader.Member(root, "nodmark_old"));
  report.nodmarkNew = reader.Text(reader.Member(root, "nodmark_new"));
  report.nodmarkComplicate = reader.Text(reader.Member(root, "nodmark_complicate"));
  ReadWithheld(reader, root, report);
  ReadAdapters(reader, root, report);
  ReadInputs(reader, root, report);
  return report;
}

ComposedReading ComposeSavedReport(const SavedReport& report) {
  ComposedReading composed;
  identifiers::SourceBytes adapterOld, adapterNew;
  if (report.adaptersListed) {
    platform::AdapterList listing;
    for (const SavedAdapter& adapter : report.adapters) {
      platform::AdapterRecord& record = listing.records[listing.count++];
      std::copy(adapter.description.begin(), adapter.description.end(), record.description.begin());
      record.address = adapter.address;
      record.wireless = adapter.wireless;
      record.removableBus = adapter.removableBus;
    }
    composed.withoutFilterList = sources::JudgeAdapters(listing, sources::FilterEntries{});
    composed.withFilterList = sources::JudgeAdapters(listing, report.filterEntries);
    adapterOld = ChosenAddress(listing, composed.withoutFilterList);
    adapterNew = ChosenAddress(listing, composed.withFilterList);
    composed.listing = listing;
  }
  identifiers::SourceBytes volume;
  if (report.volumeSerial) volume = sources::VolumeSerialBytes(*report.volumeSerial);
  const ByteString processor(report.processorSignature.begin(), report.processorSignature.end());
  const ByteString firmware(report.firmwareText.begin(), report.firmwareText.end());

  composed.nodmarkOld = identifiers::ComposeOldIdentifier(adapterOld, volume);
  composed.nodmarkNew =
      identifiers::ComposeNewIdentifier(adapterNew, volume, report.storeValue, report.settingsTag);
  composed.nodmarkComplicate = identifiers::DigestIdentifierText(
      identifiers::ComposeDigestParts(adapterNew, volume, processor, firmware).HexData());
  return composed;
}

}  // namespace nodmark::tools
