#include "sim/rovurozoviz/RovurozovizPrepared.h"

#include <algorithm>
#include <cstring>

// ---- name index ---------------------------------------------------------------

uint64_t cRovurozovizNameIndex::Hash(const char* name, size_t length) {
  // Eight bytes at a time: variable names are short and hosts look them up
  // a dozen times per evaluation.
  uint64_t h = 0x9E3779B97F4A7C15ull ^ (length * 0xC2B2AE3D27D4EB4Full);
  while (length >= 8) {
    uint64_t word;
    memcpy(&word, name, 8);
    h = (h ^ word) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 32;
    name += 8;
    length -= 8;
  }
  if (length > 0) {
    uint64_t word = 0;
    memcpy(&word, name, length);
    h = (h ^ word) * 0xC4CEB9FE1A85EC53ull;
  }
  return h ^ (h >> 29);
}

int cRovurozovizNameIndex::Find(const char* name, size_t length, uint64_t hash,
                                const std::vector<std::string>& names) const {
  if (mSlots.empty()) return -1;
  size_t mask = mSlots.size() - 1;
  for (size_t i = size_t(hash) & mask;; i = (i + 1) & mask) {
    const Slot& slot = mSlots[i];
    if (slot.index < 0) return -1;
    if (slot.hash == hash) {
      const std::string& candidate = names[size_t(slot.index)];
      if (candidate.size() == length && memcmp(candidate.data(), name, length) == 0) return slot.index;
    }
  }
}

void cRovurozovizNameIndex::Insert(uint64_t hash, int index) {
  if ((mUsed + 1) * 2 > mSlots.size()) Grow();
  size_t mask = mSlots.size() - 1;
  size_t i = size_t(hash) & mask;
  while (mSlots[i].index >= 0) i = (i + 1) & mask;
  mSlots[i].hash = hash;
  mSlots[i].index = index;
  ++mUsed;
}

void cRovurozovizNameIndex::Grow() {
  std::vector<Slot> old;
  old.swap(mSlots);
  mSlots.assign(std::max<size_t>(16, old.size() * 2), Slot());
  size_t mask = mSlots.size() - 1;
  for (const Slot& slot : old) {
    if (slot.index < 0) continue;
    size_t i = size_t(slot.hash) & mask;
    while (mSlots[i].index >= 0) i = (i + 1) & mask;
    mSlots[i] = slot;
  }
}

void cRovurozovizNameIndex::Clear() {
  mSlots.clear();
  mUsed = 0;
}

// ---- prepared steps --------------------------------------------------------------

namespace {

int BinaryOf(uint32_t opcode) {
  switch (opcode) {
    case ADD: return kBinAdd;
    case SUB: return kBinSub;
    case MUL: return kBinMul;
    case DIV: return kBinDiv;
    case POW: return kBinPow;
    case GT: return kBinGt;
    case LT: return kBinLt;
    case GE: return kBinGe;
    case LE: return kBinLe;
    case EQ: return kBinEq;
    case NE: return kBinNe;
    case AND: return kBinAnd;
    case OR: return kBinOr;
    default: return -1;
  }
}

bool IsStore(uint32_t opcode) { return opcode == STORE || opcode == STORE_ALIAS; }
bool IsOperand(uint32_t opcode) { return opcode == PUSH_VAR || opcode == PUSH_CONST; }

// Where execution goes when a false IF skips or an ELSE is reached. The
// machine's rule scans forward counting IF and ENDIF; the answer depends only
// on the code, so it is worked out here once, in O(n log n) rather than a scan
// per IF.
//
// level[j] = IFs minus ENDIFs before index j. A false IF at i stops at the
// first ELSE or ENDIF j > i with level[j] <= level[i + 1]; an ELSE at i stops at
// the first ENDIF j > i with level[j] <= level[i + 1]. Either way execution
// continues at j + 1, and at size + 1 when the scan runs off the end.
void ComputeSkipTargets(const std::vector<tRovurozovizInstruction>& code, std::vector<int32_t>& ifTarget,
                        std::vector<int32_t>& elseTarget) {
  const int n = int(code.size());
  std::vector<int32_t> level(size_t(n) + 1, 0);
  for (int j = 0; j < n; ++j)
    level[size_t(j) + 1] = level[size_t(j)] + (code[size_t(j)].opcode == IF) - (code[size_t(j)].opcode == ENDIF);
  ifTarget.assign(size_t(n), -1);
  elseTarget.assign(size_t(n), -1);

  // Candidates ahead of the current index, nearest last. A farther candidate
  // whose level is not lower than a nearer one's can never be the answer, so
  // levels fall strictly from the back of the vector towards its front.
  std::vector<int32_t> markers, endifs;
  auto nearestAtOrBelow = [&](const std::vector<int32_t>& stack, int32_t limit) -> int32_t {
    // stack levels rise from front to back; find the last entry with level <= limit.
    size_t lo = 0, hi = stack.size();
    while (lo < hi) {
      size_t mid = (lo + hi) / 2;
      if (level[size_t(stack[mid])] <= limit)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo == 0 ? n : stack[lo - 1];
  };
  auto pushCandidate = [&](std::vector<int32_t>& stack, int32_t j) {
    while (!stack.empty() && level[size_t(stack.back())] >= level[size_t(j)]) stack.pop_back();
    stack.push_back(j);
  };
  for (int i = n - 1; i >= 0; --i) {
    uint32_t op = code[size_t(i)].opcode;
    int32_t limit = level[size_t(i) + 1];
    if (op == IF) ifTarget[size_t(i)] = nearestAtOrBelow(markers, limit) + 1;
    if (op == ELSE) elseTarget[size_t(i)] = nearestAtOrBelow(endifs, limit) + 1;
    if (op == ELSE || op == ENDIF) pushCandidate(markers, i);
    if (op == ENDIF) pushCandidate(endifs, i);
  }
}

tRovurozovizPreparedStep SingleStep(const std::vector<tRovurozovizInstruction>& code, size_t i,
                                    const std::vector<int32_t>& ifTarget, const std::vector<int32_t>& elseTarget) {
  const tRovurozovizInstruction& in = code[i];
  tRovurozovizPreparedStep step;
  int binary = BinaryOf(in.opcode);
  if (binary >= 0) {
    step.kind = RovurozovizBinaryStep(binary, kOpsSS, kToPush);
    return step;
  }
  switch (in.opcode) {
    case PUSH_CONST: step.kind = kStepPushConst; step.kb = in.constant; break;
    case PUSH_VAR: step.kind = kStepPushVar; step.b = in.operand; break;
    case STORE:
    case STORE_ALIAS: step.kind = kStepStore; step.dest = in.operand; break;
    case RAND: step.kind = kStepRand; break;
    case IF: step.kind = kStepIf; step.dest = ifTarget[i]; break;
    case ELSE: step.kind = kStepElse; step.dest = elseTarget[i]; break;
    case GOTO: step.kind = kStepGoto; step.a = in.operand; break;
    case GOSUB: step.kind = kStepGosub; step.a = in.operand; break;
    case RETURN: step.kind = kStepReturn; break;
    default: step.kind = kStepNothing; break;
  }
  return step;
}

tRovurozovizPreparedStep FusedStep(const std::vector<tRovurozovizInstruction>& code, size_t i,
                                   const std::vector<int32_t>& ifTarget, const tRovurozovizPreparedStep& single) {
  const size_t n = code.size();
  // NOP past the end, so no pattern below reaches beyond the code.
  auto op = [&](size_t k) { return k < n ? code[k].opcode : uint32_t(NOP); };
  auto isArithmetic = [&](size_t k) {
    int b = BinaryOf(op(k));
    return b >= kBinAdd && b <= kBinDiv;
  };

  tRovurozovizPreparedStep step;
  // Variables are marked by index >= 0; constants leave the index at -1.
  auto take = [&](size_t k, int32_t& var, float& constant) {
    if (op(k) == PUSH_VAR) var = code[k].operand; else constant = code[k].constant;
  };
  // A STORE or an IF right after the operation joins the step.
  auto takeResult = [&](size_t& length) -> int {
    size_t k = i + length;
    if (IsStore(op(k))) {
      step.dest = code[k].operand;
      ++length;
      return kToStore;
    }
    if (op(k) == IF) {
      step.dest = ifTarget[k];
      ++length;
      return kToIf;
    }
    return kToPush;
  };

  if (IsOperand(op(i)) && IsOperand(op(i + 1)) && IsOperand(op(i + 2)) && isArithmetic(i + 3) &&
      isArithmetic(i + 4)) {
    take(i, step.a, step.ka);
    take(i + 1, step.b, step.kb);
    take(i + 2, step.c, step.kc);
    size_t length = 5;
    int result = takeResult(length);
    step.kind = RovurozovizNestedStep(BinaryOf(op(i + 4)), BinaryOf(op(i + 3)), result);
    step.length = uint16_t(length);
    return step;
  }
  int binary = -1;
  int operands = kOpsSS;
  size_t length = 0;
  if (IsOperand(op(i)) && IsOperand(op(i + 1)) && BinaryOf(op(i + 2)) >= 0) {
    bool leftVar = op(i) == PUSH_VAR, rightVar = op(i + 1) == PUSH_VAR;
    operands = leftVar ? (rightVar ? kOpsVV : kOpsVK) : (rightVar ? kOpsKV : kOpsKK);
    take(i, step.a, step.ka);
    take(i + 1, step.b, step.kb);
    binary = BinaryOf(op(i + 2));
    length = 3;
  } else if (IsOperand(op(i)) && BinaryOf(op(i + 1)) >= 0) {
    operands = op(i) == PUSH_VAR ? kOpsSV : kOpsSK;
    take(i, step.b, step.kb);
    binary = BinaryOf(op(i + 1));
    length = 2;
  } else if (BinaryOf(op(i)) >= 0) {
    binary = BinaryOf(op(i));
    length = 1;
  } else if (IsOperand(op(i)) && IsStore(op(i + 1))) {
    step.kind = op(i) == PUSH_VAR ? kStepVarToVar : kStepConstToVar;
    take(i, step.a, step.ka);
    step.dest = code[i + 1].operand;
    step.length = 2;
    return step;
  } else {
    return single;
  }
  int result = takeResult(length);
  step.kind = RovurozovizBinaryStep(binary, operands, result);
  step.length = uint16_t(length);
  return step;
}

// Where a step goes on. A step that carries on with the next instruction (or
// an if step whose condition holds) may also stand for what follows it when
// that only moves on: ENDIFs and NOPs do nothing, an ELSE goes past its
// ENDIF, a GOTO to a defined label goes there.
void ChainNext(const std::vector<tRovurozovizInstruction>& code, size_t i, const std::vector<int32_t>& elseTarget,
               tRovurozovizPreparedStep& step) {
  size_t k = i + step.length;
  step.next = int32_t(k);
  bool goesOn = step.kind <= kStepIf || step.kind == kStepConstToVar || step.kind == kStepVarToVar ||
                step.kind >= kStepNestedBase;
  if (!goesOn) return;
  while (k < code.size() && step.length < 60000) {
    uint32_t op = code[k].opcode;
    if (op == ENDIF || op == NOP) {
      ++step.length;
      step.next = int32_t(++k);
      continue;
    }
    if (op == ELSE) {
      ++step.length;
      step.next = elseTarget[k];
    } else if (op == GOTO && code[k].operand >= 0) {
      ++step.length;
      step.next = code[k].operand;
    }
    return;
  }
}

// Whether dest is where execution goes rather than a stored variable.
bool JumpsToDest(uint16_t kind) {
  static_assert((kStepBinaryBase - kStepNestedBase) % kResultFormCount == 0,
                "nested and binary kinds share the result as the innermost digit");
  if (kind == kStepIf || kind == kStepElse) return true;
  if (kind >= kStepNestedBase) return (kind - kStepNestedBase) % kResultFormCount == kToIf;
  return false;
}

// Every position held in next and dest lies in [0, size + 1], the end steps
// included, so the addresses stay inside the array.
void LinkSteps(std::vector<tRovurozovizPreparedStep>& steps) {
  const int32_t last = int32_t(steps.size()) - 1;
  for (tRovurozovizPreparedStep& step : steps) {
    step.nextStep = &steps[size_t(std::clamp(step.next, 0, last))];
    step.jumpStep = JumpsToDest(step.kind) ? &steps[size_t(std::clamp(step.dest, 0, last))] : nullptr;
  }
}

}  // namespace

void PrepareRovurozovizSteps(const std::vector<tRovurozovizInstruction>& code,
                             std::vector<tRovurozovizPreparedStep>& single,
                             std::vector<tRovurozovizPreparedStep>& fused) {
  std::vector<int32_t> ifTarget, elseTarget;
  ComputeSkipTargets(code, ifTarget, elseTarget);
  single.resize(code.size() + 2);
  fused.resize(code.size() + 2);
  for (size_t i = 0; i < code.size(); ++i) {
    single[i] = SingleStep(code, i, ifTarget, elseTarget);
    single[i].next = int32_t(i) + 1;
    fused[i] = FusedStep(code, i, ifTarget, single[i]);
    ChainNext(code, i, elseTarget, fused[i]);
  }
  for (size_t i = code.size(); i < code.size() + 2; ++i) {
    tRovurozovizPreparedStep end;
    end.kind = kStepEnd;
    end.length = 0;  // ending costs no instruction of the budget
    end.next = int32_t(i);
    single[i] = end;
    fused[i] = end;
  }
  LinkSteps(single);
  LinkSteps(fused);
}
