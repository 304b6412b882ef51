// Code-length generation (package-merge) and the canonical Huffman tables.
#include "archive/deflate/df_huffman.h"

#include <algorithm>
#include <cstdio>

#include "archive/deflate/df_base.h"

namespace {

constexpr int kMaxBits = 15;

// A leaf (symbol >= 0) or a package of two items.
struct TPackageNode {
  uint32_t weight;
  int32_t symbol;
  TPackageNode* left;
  TPackageNode* right;
};

void CountLeaves(const TPackageNode* node, uint8_t* codeLengths) {
  if (node->symbol >= 0) {
    ++codeLengths[node->symbol];
    return;
  }
  CountLeaves(node->left, codeLengths);
  CountLeaves(node->right, codeLengths);
}

}  // namespace

uint32_t ReverseBits(uint32_t code, int count) {
  uint32_t r = 0;
  for (int i = 0; i < count; ++i, code >>= 1) r = (r << 1) | (code & 1);
  return r;
}

void GenerateCodeLengths(int maxCodeLen, const uint32_t* weights, int count, uint8_t* codeLengths) {
  detail::DfAssert(maxCodeLen >= 1 && maxCodeLen <= kMaxBits,
                   "GenerateCodeLengths: the maximum code length should be in the range 1..15");
  detail::DfAssert(count >= 1 && count <= 286, "GenerateCodeLengths: the weight array must have 1..286 elements");
  detail::DfAssert(count < (1 << maxCodeLen),
                   "GenerateCodeLengths: the package-merge algorithm should always be feasible");
  std::fill(codeLengths, codeLengths + count, 0);

  TAbNodeManager pool(sizeof(TPackageNode));
  std::vector<TPackageNode*> leaves;
  for (int i = 0; i < count; ++i) {
    if (weights[i] == 0) continue;
    auto* n = static_cast<TPackageNode*>(pool.AllocNode());
    *n = {weights[i], i, nullptr, nullptr};
    leaves.push_back(n);
  }
  if (leaves.size() < 2) {
    codeLengths[leaves.empty() ? 0 : leaves[0]->symbol] = 1;
    return;
  }
  std::stable_sort(leaves.begin(), leaves.end(),
                   [](const TPackageNode* a, const TPackageNode* b) { return a->weight < b->weight; });

  std::vector<TPackageNode*> list = leaves, merged;
  for (int pass = 1; pass < maxCodeLen; ++pass) {
    merged.clear();
    size_t li = 0;
    for (size_t i = 0; i + 1 < list.size() || li < leaves.size();) {
      TPackageNode* package = nullptr;
      if (i + 1 < list.size()) {
        package = static_cast<TPackageNode*>(pool.AllocNode());
        *package = {list[i]->weight + list[i + 1]->weight, -1, list[i], list[i + 1]};
      }
      // A leaf goes before a package of equal weight.
      while (li < leaves.size() && (package == nullptr || leaves[li]->weight <= package->weight))
        merged.push_back(leaves[li++]);
      if (package == nullptr) break;
      merged.push_back(package);
      i += 2;
    }
    list.swap(merged);
  }
  size_t take = 2 * leaves.size() - 2;
  for (size_t i = 0; i < take; ++i) CountLeaves(list[i], codeLengths);
}

TDfCodeSpace CheckCodeSpace(const uint8_t* codeLengths, int count) {
  int lengthCount[kMaxBits + 1] = {};
  for (int i = 0; i < count; ++i) ++lengthCount[codeLengths[i]];
  int left = 1;
  for (int len = 1; len <= kMaxBits; ++len) {
    left = (left << 1) - lengthCount[len];
    if (left < 0) return TDfCodeSpace::csOverSubscribed;
  }
  return left > 0 ? TDfCodeSpace::csIncomplete : TDfCodeSpace::csComplete;
}

TAbDfDecodeHuffmanTree::TAbDfDecodeHuffmanTree(int alphabetSize, TAbHuffmanUsage usage, int maxCodeLen)
    : alphabetSize_(alphabetSize), usage_(usage), maxCodeLen_(maxCodeLen) {
  detail::DfAssert(alphabetSize >= 2,
                   "TAbDfDecodeHuffmanTree.Create: a huffman tree must be for at least two symbols");
  if (usage != TAbHuffmanUsage::huDecoding) encodes_.assign(alphabetSize, kUnused);
}

void TAbDfDecodeHuffmanTree::Build(const uint8_t* codeLengths, int startIndex, int count,
                                   const uint8_t* extraBits, int firstExtraSymbol) {
  const uint8_t* lengths = codeLengths + startIndex;
  int lengthCount[kMaxBits + 1] = {};
  lookupBitLength_ = 0;
  for (int i = 0; i < count; ++i) {
    if (lengths[i] > maxCodeLen_) {
      char text[80];
      std::snprintf(text, sizeof text, "TAbDfDecodeHuffmanTree.Build: a code length is greater than %d",
                    maxCodeLen_);
      throw EDfAssertionFailed(text);
    }
    ++lengthCount[lengths[i]];
    lookupBitLength_ = std::max<int>(lookupBitLength_, lengths[i]);
  }
  uint32_t nextCode[kMaxBits + 2] = {};
  uint32_t code = 0;
  lengthCount[0] = 0;
  for (int len = 1; len <= kMaxBits; ++len) {
    code = (code + lengthCount[len - 1]) << 1;
    nextCode[len] = code;
  }

  bool decoding = usage_ != TAbHuffmanUsage::huEncoding;
  if (decoding) decodes_.assign(size_t{1} << lookupBitLength_, kUnused);
  std::fill(encodes_.begin(), encodes_.end(), kUnused);

  for (int sym = 0; sym < count && sym < alphabetSize_; ++sym) {
    int len = lengths[sym];
    if (len == 0) continue;
    uint32_t reversed = ReverseBits(nextCode[len]++, len);
    uint32_t extra = (extraBits != nullptr && firstExtraSymbol >= 0 && sym >= firstExtraSymbol)
                         ? extraBits[sym - firstExtraSymbol] : 0;
    uint32_t info = (extra << 24) | (static_cast<uint32_t>(len) << 16);
    if (usage_ != TAbHuffmanUsage::huDecoding) encodes_[sym] = info | reversed;
    if (!decoding) continue;
    for (size_t i = reversed; i < decodes_.size(); i += size_t{1} << len) decodes_[i] = info | sym;
  }
}

uint32_t TAbDfDecodeHuffmanTree::Decode(uint32_t bits) const {
  detail::DfAssert(bits < decodes_.size(),
                   "TAbDfDecodeHuffmanTree.Decode: trying to decode too many bits, use LookupBitLength property");
  return decodes_[bits];
}

uint32_t TAbDfDecodeHuffmanTree::Encode(int symbol) const {
  detail::DfAssert(symbol >= 0 && symbol < alphabetSize_,
                   "TAbDfDecodeHuffmanTree.Encode: trying to encode a symbol that is not in the alphabet");
  uint32_t entry = encodes_[symbol];
  detail::DfAssert(entry != kUnused, "TAbDfDecodeHuffmanTree.Encode: trying to encode a symbol that was not used");
  return entry;
}
