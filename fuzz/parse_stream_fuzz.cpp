// parse_stream_fuzz.cpp - libFuzzer target for CParseStream.  The input's
// first bytes choose the byte order and a script of reads, level entries and
// exits; the rest is the record they run on, in a block of its exact size.
// Then the script's values are written with CBinOutputStream and must read
// back unchanged.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/common_string.h"
#include "base/mem.h"
#include "fuzz_support.h"
#include "text/bin_output_stream.h"
#include "text/common_msg_buffer.h"
#include "text/parse_stream.h"

namespace {
const char kTarget[] = "parse_stream_fuzz";

void Check(bool ok, const char *what) {
  if (!ok) fuzz::Fail(kTarget, what);
}

void RunScript(CParseStream &stream, const fuzz::Block &record, const uint8_t *script, size_t steps) {
  const char *start = record.Data();
  const char *stop = record.Data() + record.Size();
  fuzz::Reader ops(script, steps);
  for (size_t i = 0; i < steps; ++i) {
    const char *before = stream.Position();
    const uint32_t level = stream.NestingLevel();
    switch (ops.Byte() % 9) {
      case 0: {
        uint32_t v;
        if (!stream.ReadUInt32(&v)) Check(stream.Position() == before, "failed read moved");
        break;
      }
      case 1: {
        TextSpan span;
        const uint32_t count = ops.Byte();
        if (stream.ReadBytes(count, nullptr, &span)) {
          Check(span.length == count && (count == 0 || (span.start >= start && span.start + count <= stop)),
                "span outside the data");
        }
        break;
      }
      case 2: {
        char *text = nullptr;
        if (stream.ReadString(&text)) {
          if (text != nullptr) Check(std::strlen(text) <= record.Size(), "text longer than the data");
          MemFree(text);
        } else {
          Check(stream.Position() == before, "failed string read moved");
        }
        break;
      }
      case 3:
        stream.EnterLevelBytes(ops.Byte());
        break;
      case 4: {
        // An end anywhere around the data, inside it or not.
        const size_t offset = ops.Byte();
        if (offset <= record.Size() && stream.EnterLevel(start + offset))
          Check(stream.NestingLevel() == level + 1, "level not counted");
        break;
      }
      case 5:
        if (stream.LeaveLevel()) Check(stream.NestingLevel() + 1 == level, "level not counted down");
        break;
      case 6: {
        const char *at = start + ops.Byte() % (record.Size() + 1);
        uint32_t v;
        stream.ReadUInt32(&v, &at);
        Check(stream.Position() == before, "a read at a given position moved the stream");
        break;
      }
      case 7:
        (void)stream.IsAtEnd(ops.Byte() & 1);
        break;
      default:
        stream.ReadBytes(ops.Word());
        break;
    }
    Check(stream.Position() >= start && stream.Position() <= stream.End() && stream.End() <= stop,
          "position or end outside the data");
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzz::Reader header(data, size);
  const uint8_t order = header.Byte() & 1;
  const size_t steps = header.Byte();
  const size_t scriptSize = steps < header.RestSize() ? steps : header.RestSize();
  const uint8_t *script = header.Rest();
  const fuzz::Block record(script + scriptSize, header.RestSize() - scriptSize);

  TextSpan span;
  span.start = record.Data();
  span.length = record.Size();
  CCommonMsgBuffer messages(",\n");
  {
    CParseStream stream(span, order, &messages);
    RunScript(stream, record, script, scriptSize);
  }
  CParseStream own(span, order ^ 1, nullptr);
  RunScript(own, record, script, scriptSize);

  // Values taken from the record, written and read back.
  CCommonString out;
  CBinOutputStream writer(out, order);
  std::vector<std::string> texts;
  fuzz::Reader values(reinterpret_cast<const uint8_t *>(record.Data()), record.Size());
  while (values.RestSize() > 0) {
    const uint8_t len = values.Byte() % 16;
    std::string t;
    for (uint8_t k = 0; k < len && values.RestSize() > 0; ++k) t += static_cast<char>(values.Byte() | 1);
    texts.push_back(t);
    writer.WriteString(t.c_str());
    writer.WriteUInt32(static_cast<uint32_t>(t.size()) * 2654435761u);
  }
  TextSpan written;
  written.start = out.CStr();
  written.length = out.GetLength();
  CParseStream reader(written, order, nullptr);
  for (const std::string &t : texts) {
    char *text = nullptr;
    uint32_t v = 0;
    Check(reader.ReadString(&text) == 1 && text != nullptr && t == text, "text did not read back");
    MemFree(text);
    Check(reader.ReadUInt32(&v) == 1 && v == static_cast<uint32_t>(t.size()) * 2654435761u, "number did not read back");
  }
  Check(reader.IsAtEnd(1) == 1, "records left over");
  return 0;
}
