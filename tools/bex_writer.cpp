// bex_writer.cpp - the Bex file composer used by bexgen, the tests and benchmarks.
#include "tools/bex_writer.h"

#include <algorithm>
#include <cstring>

namespace bexgen {

void ByteWriter::U16(uint16_t v) {
  U8(static_cast<uint8_t>(v));
  U8(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::U32(uint32_t v) {
  for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
}

void ByteWriter::Bytes(const void *data, size_t n) {
  const auto *p = static_cast<const uint8_t *>(data);
  bytes_.insert(bytes_.end(), p, p + n);
}

void ByteWriter::Stream(const std::vector<uint8_t> &data) {
  U32(static_cast<uint32_t>(data.size()));
  Bytes(data);
}

void PutU32(std::vector<uint8_t> &bytes, size_t offset, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<uint8_t>(v >> (8 * i));
}

void ByteWriter::PatchU32(size_t offset, uint32_t v) { PutU32(bytes_, offset, v); }

int32_t NamePool::Add(const std::string &name) {
  const auto offset = static_cast<int32_t>(bytes_.size());
  bytes_.insert(bytes_.end(), name.begin(), name.end());
  bytes_.push_back(0);
  return offset;
}

std::vector<uint8_t> WordsToBytes(const std::vector<uint32_t> &words) {
  ByteWriter w;
  for (uint32_t v : words) w.U32(v);
  return w.Take();
}

namespace {
void WriteHeader(const BexSpec &spec, ByteWriter &out) {
  // The record is laid out in full, then cut or padded to the declared L.
  std::vector<uint8_t> record(std::max<size_t>(spec.headerLength, kSimNodeSize), 0);
  PutU32(record, bex::kOffVersion, spec.version);
  PutU32(record, bex::kOffLength, spec.headerLength);
  // Bytes the reader carries but does not interpret get a recognisable fill,
  // and so do the first four words that reading a record on its own resets.
  for (size_t i = bex::kOffHeaderData; i < bex::kOffBenchmarkName; ++i) record[i] = static_cast<uint8_t>(i);
  PutU32(record, bex::kOffBenchmarkName, static_cast<uint32_t>(spec.benchmarkOffset));
  for (uint32_t i = 0; i < 4; ++i) PutU32(record, bex::kOffResetToZero[i], 0x11111111u * (i + 1));
  PutU32(record, bex::kOffFlags, spec.flags);
  PutU32(record, bex::kOffResetToOnes, 0x55555555);
  PutU32(record, bex::kOffStreamIndicator, spec.leadingStream ? 1 : 0);
  out.Bytes(record.data(), spec.headerLength);
}
}  // namespace

void WriteBex(const BexSpec &spec, ByteWriter &out) {
  WriteHeader(spec, out);
  if (spec.leadingStream) out.Stream(*spec.leadingStream);
  out.U32(spec.namelistWord);
  out.Stream(spec.pool);

  out.I16(spec.maxUsrGrp ? *spec.maxUsrGrp : static_cast<int16_t>(spec.nodes.size() - 1));
  for (const NodeSpec &node : spec.nodes) {
    out.U32(0xA5A5A5A5);  // pointer slots: ignored in the file
    out.U32(0x5A5A5A5A);
    out.U16(0x7777);      // user count slot: ignored, computed from the values
    out.I16(node.firstTra);
    out.I16(node.lastTra);
    out.U16(node.reserved);
    for (uint32_t a : node.attributes) out.U32(a);
    if (node.nameStream) {
      out.Stream(*node.nameStream);
    } else {
      out.U32(static_cast<uint32_t>(node.names.size() * 4));
      for (int32_t n : node.names) out.I32(n);
    }
    if (node.valueStream) {
      out.Stream(*node.valueStream);
    } else {
      out.U32(static_cast<uint32_t>(node.values.size() * 4));
      for (uint32_t v : node.values) out.U32(v);
    }
  }

  out.I16(spec.maxTra ? *spec.maxTra : static_cast<int16_t>(spec.calls.size() - 1));
  for (const TraCallSpec &call : spec.calls) {
    out.I32(call.nameOffset);
    out.U32(0xCCCCCCCC);
    out.U32(call.value);
    out.U32(0xDDDDDDDD);
    out.U32(0xEEEEEEEE);
    out.U32(call.word20);
    out.Fill(0x99, 12);
    out.Stream(call.skipped);
  }
}

std::vector<uint8_t> WriteBex(const BexSpec &spec) {
  ByteWriter out;
  WriteBex(spec, out);
  return out.Take();
}

std::vector<uint8_t> WriteBHeader(uint32_t switch1, uint32_t switch2,
                                  const std::vector<uint8_t> &data300) {
  ByteWriter w;
  w.U32(kVersionB);
  w.U32(switch1);
  w.U32(switch2);
  std::vector<uint8_t> data = data300;
  data.resize(bex::kBDataSize, 0);
  w.Bytes(data);
  return w.Take();
}

std::vector<uint8_t> WriteVHeader(uint32_t switch1, uint32_t switch2, uint32_t switch3) {
  ByteWriter w;
  w.U32(kVersionV);
  w.U32(switch1);
  w.U32(switch2);
  w.U32(switch3);
  w.Fill(0x3C, bex::kVRestSize - 4 * bex::kVSwitchCount);
  return w.Take();
}

std::vector<uint8_t> WriteEarlyHeader(uint32_t version, uint32_t length, uint32_t flags) {
  ByteWriter w;
  w.U32(version);
  w.U32(length);
  for (uint32_t offset = bex::kOffHeaderData; offset < length; ++offset) w.U8(static_cast<uint8_t>(offset));
  if (length >= bex::kOffEarlyFlags + 4) w.PatchU32(bex::kOffEarlyFlags, flags);
  return w.Take();
}

BexSpec DemoSpec() {
  BexSpec spec;
  NamePool pool;
  spec.benchmarkOffset = pool.Add("DemoBenchmark");
  const int32_t shop = pool.Add("Shopper");
  const int32_t browse = pool.Add("Browser");
  const int32_t admin = pool.Add("Admin");
  const int32_t login = pool.Add("TMain.Login");
  const int32_t search = pool.Add("TMain.Search");
  const int32_t order = pool.Add("TMain.Order");
  const int32_t report = pool.Add("TAdmin.Report");
  spec.pool = pool.Bytes();
  spec.flags = 0x7F000 | 0x42 | 0x8 | 0x1;
  spec.namelistWord = 0x4E4D4C53;
  spec.leadingStream = std::vector<uint8_t>{'s', 'k', 'i', 'p', ' ', 'm', 'e'};

  NodeSpec web;
  web.names = {shop, browse};
  web.values = {60, 40};
  web.firstTra = 0;
  web.lastTra = 2;
  web.attributes[0] = 1;
  web.attributes[1] = 2;
  web.attributes[2] = 3;
  web.attributes[3] = 4;
  NodeSpec empty;  // a node without users
  empty.firstTra = 3;
  empty.lastTra = 2;
  NodeSpec back;
  back.names = {admin};
  back.values = {5};
  back.firstTra = 3;
  back.lastTra = 3;
  back.attributes[0] = 0xFFFFFFFF;
  spec.nodes = {web, empty, back};

  spec.calls = {{login, 100, 7, {1, 2, 3}},
                {search, 250, 7, {}},
                {order, 30, 7, std::vector<uint8_t>(40, 0xAB)},
                {report, 1, 7, {9}}};
  return spec;
}

}  // namespace bexgen
