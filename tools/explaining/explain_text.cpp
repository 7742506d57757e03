#include "tools/explaining/explain_text.h"

#include <cstddef>

#include "core/hex_text.h"
#include "identifiers/digest_text.h"
#include "tools/explaining/identifier_warnings.h"
#include "tools/explaining/report_contents.h"
#include "tools/words/phrases.h"
#include "tools/words/store_words.h"

namespace nodmark::tools {
namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kLastPrintable = 0x7E;

std::string KeyPhrase(identifiers::MachineKey key, std::string_view adapterPhrase) {
  switch (key) {
    case identifiers::MachineKey::kAdapter:
      return std::string(adapterPhrase);
    case identifiers::MachineKey::kVolume:
      return "no adapter qualifies: the serial of volume c:\\";
    case identifiers::MachineKey::kNeither:
      return "neither an adapter nor the serial of volume c:\\: eight FF bytes";
  }
  return "";
}

// What the legacy recipe appends after its key's bytes.
std::string OldTailPhrase(identifiers::MachineKey key) {
  switch (key) {
    case identifiers::MachineKey::kAdapter:
      return ", then 0000";
    case identifiers::MachineKey::kVolume:
      return ", then 00000001";
    case identifiers::MachineKey::kNeither:
      break;
  }
  return "";
}

std::string AdapterPhrase(const sources::AdapterVerdicts& verdicts) {
  if (!verdicts.chosen) return "";
  return "the address of adapter " + std::to_string(*verdicts.chosen + 1);
}

// A hex part of the digest's input, or a note that the source gave nothing.
std::string PartText(const std::string& hex) { return hex.empty() ? "(nothing)" : hex; }

class TextBuilder {
 public:
  void Line(std::string_view text) {
    text_ += text;
    text_ += '\n';
  }
  void Heading(std::string_view title) {
    text_ += '\n';
    Line(title);
  }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

void RenderIdentifiers(const ExplainReport& report, TextBuilder& out) {
  const AdapterReport& adapters = report.adapters;
  out.Line("nodmark_old         " + report.nodmarkOld);
  out.Line("  " + KeyPhrase(report.oldKey, AdapterPhrase(adapters.withoutFilterList)) +
           OldTailPhrase(report.oldKey));
  out.Line("nodmark_new         " + report.nodmarkNew);
  out.Line("  " + KeyPhrase(report.newKey, AdapterPhrase(adapters.withFilterList)) +
           ", then the random identifier " + QuoteText(report.store.value) +
           " and the settings tag " + QuoteText(report.settingsTag));
  out.Line("nodmark_complicate  " + report.nodmarkComplicate);
  out.Line("  the MD5 digest of the digest input below");
}

void RenderApplicationForms(const ApplicationForms& forms, TextBuilder& out) {
  out.Heading("For the application " + QuoteText(forms.application));
  out.Line("  " + std::string(kApplicationFormsRecipe));
  out.Line("nodmark_old_for         " + forms.nodmarkOldFor);
  out.Line("nodmark_new_for         " + forms.nodmarkNewFor);
  out.Line("nodmark_complicate_for  " + forms.nodmarkComplicateFor);
}

void RenderWarnings(const ExplainReport& report, TextBuilder& out) {
  out.Heading("Warnings");
  const std::vector<IdentifierWarning> warnings = FindWarnings(report);
  if (warnings.empty()) out.Line("  none: nothing the identifiers rest on is known to be at risk");
  for (const IdentifierWarning& warning : warnings) {
    out.Line("  " + JoinNames(warning.identifiers) + ": " + warning.reason);
  }
}

// What the OS tells of how an adapter is attached, after its description.
std::string AttachmentText(const platform::AdapterRecord& record) {
  std::string text;
  if (record.wireless) text += " (wireless)";
  if (record.removableBus) text += " (removable bus)";
  return text;
}

void RenderAdapters(const AdapterReport& adapters, TextBuilder& out) {
  out.Heading("Network adapters");
  if (!adapters.listing) {
    out.Line("  no listing: the call failed, there are no adapters, or there are more than " +
             std::to_string(platform::kMaxAdapters));
  } else {
    const bool sameWalk = adapters.filterEntries.empty();
    for (std::size_t i = 0; i < adapters.withoutFilterList.count; ++i) {
      const platform::AdapterRecord& record = adapters.listing->records[i];
      out.Line("  " + std::to_string(i + 1) + ". " + AddressText(record.address) + " " +
               QuoteText(sources::AdapterDescription(record)) + AttachmentText(record));
      const std::string withoutFilter =
          VerdictPhrase(adapters.withoutFilterList.verdicts[i], adapters.filterEntries);
      if (sameWalk) {
        out.Line("     " + withoutFilter);
        continue;
      }
      out.Line("     nodmark_old: " + withoutFilter);
      out.Line("     nodmark_new and nodmark_complicate: " +
               VerdictPhrase(adapters.withFilterList.verdicts[i], adapters.filterEntries));
    }
  }
  if (adapters.filterEntries.empty()) {
    out.Line("  filter list: no entries; the built-in address table applies to every recipe");
    return;
  }
  std::string entries;
  for (const std::string& entry : adapters.filterEntries) {
    entries += (entries.empty() ? "" : ", ") + QuoteText(entry);
  }
  out.Line(
      "  filter list (nodmark_new and nodmark_complicate; the built-in table does not "
      "apply to them): " +
      entries);
}

void RenderVolume(const identifiers::SourceBytes& volume, TextBuilder& out) {
  out.Heading("Volume c:\\");
  if (!volume) {
    out.Line("  no serial: the volume query failed (no volume c:, or it is not ready)");
    return;
  }
  std::string bytes;
  core::AppendHexBytes(bytes, *volume);
  out.Line("  serial " + SerialText(SerialFromSourceBytes(*volume)) + ", source bytes " + bytes);
}

void RenderProcessor(const identifiers::SourceBytes& signature, TextBuilder& out) {
  out.Heading("Processor");
  if (!signature || signature->empty()) {
    out.Line("  no signature: processor identification is not available");
    return;
  }
  out.Line("  signature " + QuoteText(TextOf(*signature)));
}

void RenderFirmware(const FirmwareReport& firmware, TextBuilder& out) {
  out.Heading("Firmware");
  if (!firmware.mapped) {
    out.Line("  no text: the firmware memory could not be mapped");
  } else if (!firmware.match) {
    out.Line("  no text: the memory was mapped but no probe matched");
  } else {
    const sources::FirmwareProbe& probe = sources::kFirmwareProbes[firmware.match->probe];
    out.Line("  " + QuoteText(firmware.match->text) + ", found by the " + probe.name +
             " probe at " + ProbeAddressText(probe));
  }
}

void RenderStore(const sources::StoredRandomIdReport& store, const std::string& tag,
                 TextBuilder& out) {
  out.Heading("Random identifier store");
  out.Line("  file " +
           (store.filePath.empty() ? std::string("(none)") : QuoteText(store.filePath)));
  out.Line("  value " + QuoteText(store.value) + ": " + StoreOutcomePhrase(store.outcome));
  out.Line(std::string("  machine-wide lock ") + StoreLockPhrase(store.lock));
  out.Line("  settings tag " + QuoteText(tag));
}

void RenderDigest(const ExplainReport& report, TextBuilder& out) {
  out.Heading("Digest input");
  const identifiers::DigestParts& parts = report.digestParts;
  out.Line("  adapter    " + PartText(parts.adapter));
  out.Line("  volume     " + PartText(parts.volume));
  out.Line("  processor  " + PartText(parts.processor));
  out.Line("  firmware   " + PartText(parts.firmware));
  out.Line("  the text hashed, between its markers:");
  out.Line("  " + std::string(identifiers::kDigestStartMarker) + report.digestHexData +
           std::string(identifiers::kDigestEndMarker));
}

}  // namespace

std::string QuoteText(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < kFirstPrintable || byte > kLastPrintable) {
      out += "\\x";
      core::AppendHexByte(out, byte);
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string RenderExplainText(const ExplainReport& report) {
  TextBuilder out;
  out.Line(ContentsSentence(ReportContents(report)));
  out.Line("");
  RenderIdentifiers(report, out);
  if (report.forApplication) RenderApplicationForms(*report.forApplication, out);
  RenderWarnings(report, out);
  RenderAdapters(report.adapters, out);
  RenderVolume(report.volumeSerial, out);
  RenderProcessor(report.processorSignature, out);
  RenderFirmware(report.firmware, out);
  RenderStore(report.store, report.settingsTag, out);
  RenderDigest(report, out);
  return out.Take();
}

}  // namespace nodmark::tools
