// The processor core: hooked memory access, the condition-code rules, one
// handler per decoded opcode and the 256-slot dispatch table built from the
// decode list at the bottom of this file.
#include "emulator/m6303.h"

#include <cstddef>

// ---------------------------------------------------------------------------
// Memory access
// ---------------------------------------------------------------------------

uint8_t ReadMem(Core& core, uint16_t address) {
  const uint8_t stored = core.memory[address];
  if (address == PORT6_ADDRESS && core.hooks.port6Read) [[unlikely]]
    return core.hooks.port6Read(core.hooks.context, stored);
  return stored;
}

void WriteMem(Core& core, uint16_t address, uint8_t value) {
  core.memory[address] = value;
  if (address == PORT2_ADDRESS) [[unlikely]] {
    if (core.hooks.port2Write) core.hooks.port2Write(core.hooks.context, value);
  } else if (address == PORT6_ADDRESS) [[unlikely]] {
    if (core.hooks.port6Write) core.hooks.port6Write(core.hooks.context, value);
  }
}

uint16_t ReadWord(const Core& core, uint16_t address) {
  const uint16_t next = static_cast<uint16_t>(address + 1);
  return static_cast<uint16_t>(core.memory[address] << 8 | core.memory[next]);
}

namespace {

bool OnBus(const CoreHooks& hooks, uint16_t address) { return (address & hooks.busMask) == hooks.busBase; }

// Only the extended forms of CLR, LDAA, LDAB, STAA and STAB reach the bus;
// every other access there sees plain memory.
uint8_t ReadBusOrMem(Core& core, uint16_t address) {
  if (core.hooks.busRead && OnBus(core.hooks, address)) [[unlikely]]
    return core.hooks.busRead(core.hooks.context, address);
  return ReadMem(core, address);
}

void WriteBusOrMem(Core& core, uint16_t address, uint8_t value) {
  if (core.hooks.busWrite && OnBus(core.hooks, address)) [[unlikely]]
    return core.hooks.busWrite(core.hooks.context, address, value);
  WriteMem(core, address, value);
}

// ---------------------------------------------------------------------------
// Operand fetch and addressing modes (operand bytes are plain memory)
// ---------------------------------------------------------------------------

uint8_t FetchByte(Core& core) { return core.memory[core.cpu.PC++]; }

uint16_t FetchWord(Core& core) {
  const uint16_t word = ReadWord(core, core.cpu.PC);
  core.cpu.PC = static_cast<uint16_t>(core.cpu.PC + 2);
  return word;
}

uint16_t Direct(Core& core) { return FetchByte(core); }
uint16_t Indexed(Core& core) { return static_cast<uint16_t>(core.cpu.X + FetchByte(core)); }
uint16_t Extended(Core& core) { return FetchWord(core); }

uint8_t Immediate(Core& core) { return FetchByte(core); }
uint8_t AtDirect(Core& core) { return ReadMem(core, Direct(core)); }
uint8_t AtIndexed(Core& core) { return ReadMem(core, Indexed(core)); }
uint8_t AtExtended(Core& core) { return ReadMem(core, Extended(core)); }

uint16_t ReadMemWord(Core& core, uint16_t address) {
  const uint8_t high = ReadMem(core, address);
  return static_cast<uint16_t>(high << 8 | ReadMem(core, static_cast<uint16_t>(address + 1)));
}

void WriteMemWord(Core& core, uint16_t address, uint16_t value) {
  WriteMem(core, address, static_cast<uint8_t>(value >> 8));
  WriteMem(core, static_cast<uint16_t>(address + 1), static_cast<uint8_t>(value));
}

// ---------------------------------------------------------------------------
// Flags
// ---------------------------------------------------------------------------

bool IsSet(const Cpu& cpu, uint8_t flag) { return (cpu.CCR & flag) != 0; }
void SetFlag(Cpu& cpu, uint8_t flag) { cpu.CCR |= flag; }
void ClearFlag(Cpu& cpu, uint8_t flag) { cpu.CCR &= static_cast<uint8_t>(~flag); }
uint8_t FlagIf(bool condition, uint8_t flag) { return condition ? flag : 0; }

// Replaces the flags in `mask` with `flags`; the rest of CCR is kept.
void Assign(Cpu& cpu, uint8_t mask, uint8_t flags) {
  cpu.CCR = static_cast<uint8_t>((cpu.CCR & ~mask) | flags);
}

uint8_t NZ8(uint8_t r) { return FlagIf(r & 0x80, FLAG_N) | FlagIf(r == 0, FLAG_Z); }
uint8_t NZ16(uint16_t r) { return FlagIf(r & 0x8000, FLAG_N) | FlagIf(r == 0, FLAG_Z); }
// This core's V after additions, subtractions, CBA and CPX mirrors the carry.
uint8_t CV(bool carry) { return carry ? (FLAG_C | FLAG_V) : 0; }

uint8_t Logic(Cpu& cpu, uint8_t r) {
  Assign(cpu, FLAG_N | FLAG_Z | FLAG_V, NZ8(r));
  return r;
}

uint8_t IncDec(Cpu& cpu, uint8_t r) {
  Assign(cpu, FLAG_N | FLAG_Z, NZ8(r));
  return r;
}

uint8_t Add(Cpu& cpu, uint8_t acc, uint8_t m, unsigned carryIn) {
  const unsigned sum = acc + m + carryIn;
  const bool half = (acc & 0x0F) + (m & 0x0F) + carryIn > 0x0F;
  const uint8_t r = static_cast<uint8_t>(sum);
  Assign(cpu, FLAG_N | FLAG_Z | FLAG_V | FLAG_C | FLAG_H,
         NZ8(r) | CV(sum > 0xFF) | FlagIf(half, FLAG_H));
  return r;
}

uint8_t Sub(Cpu& cpu, uint8_t acc, uint8_t m) {
  const uint8_t r = static_cast<uint8_t>(acc - m);
  Assign(cpu, FLAG_N | FLAG_Z | FLAG_V | FLAG_C, NZ8(r) | CV(m > acc));
  return r;
}

// CMPA/CMPB: V is set when the plain difference leaves the signed byte range.
void Compare(Cpu& cpu, uint8_t acc, uint8_t m) {
  const int difference = int{acc} - int{m};
  const bool outOfRange = difference < -128 || difference > 127;
  Assign(cpu, FLAG_N | FLAG_Z | FLAG_V | FLAG_C,
         NZ8(static_cast<uint8_t>(difference)) | FlagIf(outOfRange, FLAG_V) |
             FlagIf(acc < m, FLAG_C));
}

void CompareX(Cpu& cpu, uint16_t w) {
  const uint16_t r = static_cast<uint16_t>(cpu.X - w);
  Assign(cpu, FLAG_N | FLAG_Z | FLAG_V | FLAG_C, NZ16(r) | CV(w > cpu.X));
}

void Test(Cpu& cpu, uint8_t v) { Assign(cpu, FLAG_N | FLAG_Z | FLAG_V | FLAG_C, NZ8(v)); }

uint8_t Clear(Cpu& cpu) {
  Assign(cpu, FLAG_N | FLAG_Z | FLAG_V | FLAG_C, FLAG_Z);
  return 0;
}

uint8_t Complement(Cpu& cpu, uint8_t v) {
  const uint8_t r = static_cast<uint8_t>(~v);
  Assign(cpu, FLAG_N | FLAG_Z | FLAG_V | FLAG_C, NZ8(r) | FLAG_C);
  return r;
}

uint8_t Shift(Cpu& cpu, uint8_t r, bool carryOut) {
  Assign(cpu, FLAG_N | FLAG_Z | FLAG_C, NZ8(r) | FlagIf(carryOut, FLAG_C));
  return r;
}

uint16_t Word(Cpu& cpu, uint16_t v) {
  Assign(cpu, FLAG_N | FLAG_Z | FLAG_V, NZ16(v));
  return v;
}

uint16_t Index(Cpu& cpu, uint16_t v) {
  Assign(cpu, FLAG_Z, FlagIf(v == 0, FLAG_Z));
  return v;
}

unsigned CarryIn(const Cpu& cpu) { return cpu.CCR & FLAG_C; }

uint8_t Lsr(Cpu& cpu, uint8_t v) { return Shift(cpu, v >> 1, v & 1); }
uint8_t Asr(Cpu& cpu, uint8_t v) { return Shift(cpu, (v >> 1) | (v & 0x80), v & 1); }
uint8_t Ror(Cpu& cpu, uint8_t v) {
  return Shift(cpu, static_cast<uint8_t>(v >> 1 | CarryIn(cpu) << 7), v & 1);
}
uint8_t Asl(Cpu& cpu, uint8_t v) { return Shift(cpu, static_cast<uint8_t>(v << 1), v & 0x80); }
uint8_t Rol(Cpu& cpu, uint8_t v) {
  return Shift(cpu, static_cast<uint8_t>(v << 1 | CarryIn(cpu)), v & 0x80);
}

uint8_t DecimalAdjust(Cpu& cpu, uint8_t a) {
  const bool carry = IsSet(cpu, FLAG_C);
  const unsigned lo = a & 0x0F, hi = a >> 4;
  const unsigned low = (IsSet(cpu, FLAG_H) || lo > 9) ? 0x06 : 0;
  const unsigned high = (carry || hi > 9 || (hi == 9 && lo > 9)) ? 0x60 : 0;
  const unsigned sum = a + high + low;
  const uint8_t r = static_cast<uint8_t>(sum);
  Assign(cpu, FLAG_N | FLAG_Z | FLAG_C, NZ8(r) | FlagIf(carry || sum > 0xFF, FLAG_C));
  return r;
}

// ---------------------------------------------------------------------------
// Stack: return addresses are plain memory, PSHx/PULx take the hooked path
// ---------------------------------------------------------------------------

void PushReturn(Core& core, uint16_t address) {
  Cpu& cpu = core.cpu;
  core.memory[cpu.SP--] = static_cast<uint8_t>(address);
  core.memory[cpu.SP--] = static_cast<uint8_t>(address >> 8);
}

uint16_t PullReturn(Core& core) {
  Cpu& cpu = core.cpu;
  const uint8_t high = core.memory[static_cast<uint16_t>(cpu.SP + 1)];
  const uint8_t low = core.memory[static_cast<uint16_t>(cpu.SP + 2)];
  cpu.SP = static_cast<uint16_t>(cpu.SP + 2);
  return static_cast<uint16_t>(high << 8 | low);
}

void Push(Core& core, uint8_t value) {
  WriteMem(core, core.cpu.SP, value);
  core.cpu.SP--;
}

uint8_t Pull(Core& core) {
  core.cpu.SP++;
  return ReadMem(core, core.cpu.SP);
}

void Branch(Core& core, bool taken) {
  const auto offset = static_cast<int8_t>(FetchByte(core));
  if (taken) core.cpu.PC = static_cast<uint16_t>(core.cpu.PC + offset);
}

// Signed-comparison conditions of BGE/BLT/BGT/BLE.
bool NEqualsV(const Cpu& cpu) { return IsSet(cpu, FLAG_N) == IsSet(cpu, FLAG_V); }

// Read-modify-write on memory: one read, one whole write.
template <uint8_t (*Operation)(Cpu&, uint8_t)>
void Modify(Core& core, uint16_t address) {
  WriteMem(core, address, Operation(core.cpu, ReadMem(core, address)));
}

// ---------------------------------------------------------------------------
// Handlers, one per decoded opcode
// ---------------------------------------------------------------------------

// Inherent
void Nop(Core&) {}
void Tap(Core& c) { c.cpu.CCR = c.cpu.A; }
void Tpa(Core& c) { c.cpu.A = c.cpu.CCR; }
void Inx(Core& c) { c.cpu.X = Index(c.cpu, static_cast<uint16_t>(c.cpu.X + 1)); }
void Dex(Core& c) { c.cpu.X = Index(c.cpu, static_cast<uint16_t>(c.cpu.X - 1)); }
void Clv(Core& c) { ClearFlag(c.cpu, FLAG_V); }
void Sev(Core& c) { SetFlag(c.cpu, FLAG_V); }
void Clc(Core& c) { ClearFlag(c.cpu, FLAG_C); }
void Sec(Core& c) { SetFlag(c.cpu, FLAG_C); }
// The machine has no interrupts; a program that reaches for the mask has
// gone astray, so the core stops rather than run on.
void Cli(Core& c) { c.halted = true; }
void Sei(Core& c) { c.halted = true; }
void Sba(Core& c) { c.cpu.A = Sub(c.cpu, c.cpu.A, c.cpu.B); }
void Cba(Core& c) { Sub(c.cpu, c.cpu.A, c.cpu.B); }
void Tab(Core& c) { c.cpu.B = Logic(c.cpu, c.cpu.A); }
void Tba(Core& c) { c.cpu.A = Logic(c.cpu, c.cpu.B); }
void Daa(Core& c) { c.cpu.A = DecimalAdjust(c.cpu, c.cpu.A); }
void Slp(Core&) {}
void Aba(Core& c) { c.cpu.A = Add(c.cpu, c.cpu.A, c.cpu.B, 0); }

// Relative
void Bra(Core& c) { Branch(c, true); }
void Bhi(Core& c) { Branch(c, !IsSet(c.cpu, FLAG_C) && !IsSet(c.cpu, FLAG_Z)); }
void Bls(Core& c) { Branch(c, IsSet(c.cpu, FLAG_C) || IsSet(c.cpu, FLAG_Z)); }
void Bcc(Core& c) { Branch(c, !IsSet(c.cpu, FLAG_C)); }
void Bcs(Core& c) { Branch(c, IsSet(c.cpu, FLAG_C)); }
void Bne(Core& c) { Branch(c, !IsSet(c.cpu, FLAG_Z)); }
void Beq(Core& c) { Branch(c, IsSet(c.cpu, FLAG_Z)); }
void Bvc(Core& c) { Branch(c, !IsSet(c.cpu, FLAG_V)); }
void Bvs(Core& c) { Branch(c, IsSet(c.cpu, FLAG_V)); }
void Bpl(Core& c) { Branch(c, !IsSet(c.cpu, FLAG_N)); }
void Bmi(Core& c) { Branch(c, IsSet(c.cpu, FLAG_N)); }
void Bge(Core& c) { Branch(c, NEqualsV(c.cpu)); }
void Blt(Core& c) { Branch(c, !NEqualsV(c.cpu)); }
void Bgt(Core& c) { Branch(c, !IsSet(c.cpu, FLAG_Z) && NEqualsV(c.cpu)); }
void Ble(Core& c) { Branch(c, IsSet(c.cpu, FLAG_Z) || !NEqualsV(c.cpu)); }
void Bsr(Core& c) {
  const auto offset = static_cast<int8_t>(FetchByte(c));
  PushReturn(c, c.cpu.PC);
  c.cpu.PC = static_cast<uint16_t>(c.cpu.PC + offset);
}

// Stack and index transfers
void Tsx(Core& c) { c.cpu.X = static_cast<uint16_t>(c.cpu.SP + 1); }
void Txs(Core& c) { c.cpu.SP = static_cast<uint16_t>(c.cpu.X - 1); }
void Pula(Core& c) { c.cpu.A = Pull(c); }
void Pulb(Core& c) { c.cpu.B = Pull(c); }
void Psha(Core& c) { Push(c, c.cpu.A); }
void Pshb(Core& c) { Push(c, c.cpu.B); }
void Pulx(Core& c) {
  const uint8_t high = Pull(c);
  c.cpu.X = static_cast<uint16_t>(high << 8 | Pull(c));
}
void Pshx(Core& c) {
  Push(c, static_cast<uint8_t>(c.cpu.X));
  Push(c, static_cast<uint8_t>(c.cpu.X >> 8));
}
void Rts(Core& c) { c.cpu.PC = PullReturn(c); }
// No interrupt system: SWI stacks nothing and reads no vector.
void Swi(Core&) {}

// Accumulator A and B, inherent
void Lsra(Core& c) { c.cpu.A = Lsr(c.cpu, c.cpu.A); }
void Rora(Core& c) { c.cpu.A = Ror(c.cpu, c.cpu.A); }
void Asra(Core& c) { c.cpu.A = Asr(c.cpu, c.cpu.A); }
void Asla(Core& c) { c.cpu.A = Asl(c.cpu, c.cpu.A); }
void Rola(Core& c) { c.cpu.A = Rol(c.cpu, c.cpu.A); }
void Deca(Core& c) { c.cpu.A = IncDec(c.cpu, static_cast<uint8_t>(c.cpu.A - 1)); }
void Inca(Core& c) { c.cpu.A = IncDec(c.cpu, static_cast<uint8_t>(c.cpu.A + 1)); }
void Tsta(Core& c) { Test(c.cpu, c.cpu.A); }
void Clra(Core& c) { c.cpu.A = Clear(c.cpu); }
void Lsrb(Core& c) { c.cpu.B = Lsr(c.cpu, c.cpu.B); }
void Rorb(Core& c) { c.cpu.B = Ror(c.cpu, c.cpu.B); }
void Asrb(Core& c) { c.cpu.B = Asr(c.cpu, c.cpu.B); }
void Aslb(Core& c) { c.cpu.B = Asl(c.cpu, c.cpu.B); }
void Rolb(Core& c) { c.cpu.B = Rol(c.cpu, c.cpu.B); }
void Decb(Core& c) { c.cpu.B = IncDec(c.cpu, static_cast<uint8_t>(c.cpu.B - 1)); }
void Incb(Core& c) { c.cpu.B = IncDec(c.cpu, static_cast<uint8_t>(c.cpu.B + 1)); }
void Tstb(Core& c) { Test(c.cpu, c.cpu.B); }
void Clrb(Core& c) { c.cpu.B = Clear(c.cpu); }

// Memory read-modify-write, test and clear
uint8_t Com(Cpu& cpu, uint8_t v) { return Complement(cpu, v); }
uint8_t Dec(Cpu& cpu, uint8_t v) { return IncDec(cpu, static_cast<uint8_t>(v - 1)); }
uint8_t Inc(Cpu& cpu, uint8_t v) { return IncDec(cpu, static_cast<uint8_t>(v + 1)); }

void LsrIdx(Core& c) { Modify<Lsr>(c, Indexed(c)); }
void RorIdx(Core& c) { Modify<Ror>(c, Indexed(c)); }
void AsrIdx(Core& c) { Modify<Asr>(c, Indexed(c)); }
void AslIdx(Core& c) { Modify<Asl>(c, Indexed(c)); }
void RolIdx(Core& c) { Modify<Rol>(c, Indexed(c)); }
void TstIdx(Core& c) { Test(c.cpu, AtIndexed(c)); }
void ClrIdx(Core& c) { WriteMem(c, Indexed(c), Clear(c.cpu)); }
void ComExt(Core& c) { Modify<Com>(c, Extended(c)); }
void RolExt(Core& c) { Modify<Rol>(c, Extended(c)); }
void DecExt(Core& c) { Modify<Dec>(c, Extended(c)); }
void IncExt(Core& c) { Modify<Inc>(c, Extended(c)); }
void TstExt(Core& c) { Test(c.cpu, AtExtended(c)); }
void JmpExt(Core& c) { c.cpu.PC = Extended(c); }
void ClrExt(Core& c) { WriteBusOrMem(c, Extended(c), Clear(c.cpu)); }

// Accumulator A with memory
void SubaImm(Core& c) { c.cpu.A = Sub(c.cpu, c.cpu.A, Immediate(c)); }
void CmpaImm(Core& c) { Compare(c.cpu, c.cpu.A, Immediate(c)); }
void AndaImm(Core& c) { c.cpu.A = Logic(c.cpu, c.cpu.A & Immediate(c)); }
void LdaaImm(Core& c) { c.cpu.A = Logic(c.cpu, Immediate(c)); }
void EoraImm(Core& c) { c.cpu.A = Logic(c.cpu, c.cpu.A ^ Immediate(c)); }
void AdcaImm(Core& c) { c.cpu.A = Add(c.cpu, c.cpu.A, Immediate(c), CarryIn(c.cpu)); }
void OraaImm(Core& c) { c.cpu.A = Logic(c.cpu, c.cpu.A | Immediate(c)); }
void AddaImm(Core& c) { c.cpu.A = Add(c.cpu, c.cpu.A, Immediate(c), 0); }
void CpxImm(Core& c) { CompareX(c.cpu, FetchWord(c)); }
void LdsImm(Core& c) { c.cpu.SP = Word(c.cpu, FetchWord(c)); }
void LdaaDir(Core& c) { c.cpu.A = Logic(c.cpu, AtDirect(c)); }
void StaaDir(Core& c) { WriteMem(c, Direct(c), Logic(c.cpu, c.cpu.A)); }
void SubaIdx(Core& c) { c.cpu.A = Sub(c.cpu, c.cpu.A, AtIndexed(c)); }
void LdaaIdx(Core& c) { c.cpu.A = Logic(c.cpu, AtIndexed(c)); }
void StaaIdx(Core& c) { WriteMem(c, Indexed(c), Logic(c.cpu, c.cpu.A)); }
void AdcaIdx(Core& c) { c.cpu.A = Add(c.cpu, c.cpu.A, AtIndexed(c), CarryIn(c.cpu)); }
void SubaExt(Core& c) { c.cpu.A = Sub(c.cpu, c.cpu.A, AtExtended(c)); }
void CmpaExt(Core& c) { Compare(c.cpu, c.cpu.A, AtExtended(c)); }
void LdaaExt(Core& c) { c.cpu.A = Logic(c.cpu, ReadBusOrMem(c, Extended(c))); }
void StaaExt(Core& c) { WriteBusOrMem(c, Extended(c), Logic(c.cpu, c.cpu.A)); }
void EoraExt(Core& c) { c.cpu.A = Logic(c.cpu, c.cpu.A ^ AtExtended(c)); }
void AdcaExt(Core& c) { c.cpu.A = Add(c.cpu, c.cpu.A, AtExtended(c), CarryIn(c.cpu)); }
void OraaExt(Core& c) { c.cpu.A = Logic(c.cpu, c.cpu.A | AtExtended(c)); }
void AddaExt(Core& c) { c.cpu.A = Add(c.cpu, c.cpu.A, AtExtended(c), 0); }
void CpxExt(Core& c) { CompareX(c.cpu, ReadMemWord(c, Extended(c))); }
void JsrExt(Core& c) {
  const uint16_t target = Extended(c);
  PushReturn(c, c.cpu.PC);
  c.cpu.PC = target;
}
void LdsExt(Core& c) { c.cpu.SP = Word(c.cpu, ReadMemWord(c, Extended(c))); }
void StsExt(Core& c) { WriteMemWord(c, Extended(c), Word(c.cpu, c.cpu.SP)); }

// Accumulator B with memory, and the 16-bit loads and stores
void CmpbImm(Core& c) { Compare(c.cpu, c.cpu.B, Immediate(c)); }
void AndbImm(Core& c) { c.cpu.B = Logic(c.cpu, c.cpu.B & Immediate(c)); }
void LdabImm(Core& c) { c.cpu.B = Logic(c.cpu, Immediate(c)); }
void EorbImm(Core& c) { c.cpu.B = Logic(c.cpu, c.cpu.B ^ Immediate(c)); }
void AdcbImm(Core& c) { c.cpu.B = Add(c.cpu, c.cpu.B, Immediate(c), CarryIn(c.cpu)); }
void LdxImm(Core& c) { c.cpu.X = Word(c.cpu, FetchWord(c)); }
void LdabDir(Core& c) { c.cpu.B = Logic(c.cpu, AtDirect(c)); }
void StabDir(Core& c) { WriteMem(c, Direct(c), Logic(c.cpu, c.cpu.B)); }
void LdabIdx(Core& c) { c.cpu.B = Logic(c.cpu, AtIndexed(c)); }
void StabIdx(Core& c) { WriteMem(c, Indexed(c), Logic(c.cpu, c.cpu.B)); }
void OrabIdx(Core& c) { c.cpu.B = Logic(c.cpu, c.cpu.B | AtIndexed(c)); }
void SubbExt(Core& c) { c.cpu.B = Sub(c.cpu, c.cpu.B, AtExtended(c)); }
void LdabExt(Core& c) { c.cpu.B = Logic(c.cpu, ReadBusOrMem(c, Extended(c))); }
void StabExt(Core& c) { WriteBusOrMem(c, Extended(c), Logic(c.cpu, c.cpu.B)); }
void EorbExt(Core& c) { c.cpu.B = Logic(c.cpu, c.cpu.B ^ AtExtended(c)); }
void OrabExt(Core& c) { c.cpu.B = Logic(c.cpu, c.cpu.B | AtExtended(c)); }
void LddExt(Core& c) {
  const uint16_t d = Word(c.cpu, ReadMemWord(c, Extended(c)));
  c.cpu.A = static_cast<uint8_t>(d >> 8);
  c.cpu.B = static_cast<uint8_t>(d);
}
void LdxExt(Core& c) { c.cpu.X = Word(c.cpu, ReadMemWord(c, Extended(c))); }
void StxExt(Core& c) { WriteMemWord(c, Extended(c), Word(c.cpu, c.cpu.X)); }

// ---------------------------------------------------------------------------
// The decoded opcodes
// ---------------------------------------------------------------------------

enum Mode : uint8_t { INH, IMM, IMM16, DIR, IDX, EXT, REL };

constexpr uint8_t LengthOf(Mode mode) {
  switch (mode) {
    case INH: return 1;
    case IMM16:
    case EXT: return 3;
    default: return 2;
  }
}

struct Decoded {
  uint8_t opcode;
  const char* mnemonic;
  Mode mode;
  Handler handler;
};

// clang-format off
constexpr Decoded DecodedOpcodes[] = {
  {0x01, "NOP",  INH,   Nop},     {0x06, "TAP",  INH,   Tap},     {0x07, "TPA",  INH,   Tpa},
  {0x08, "INX",  INH,   Inx},     {0x09, "DEX",  INH,   Dex},     {0x0A, "CLV",  INH,   Clv},
  {0x0B, "SEV",  INH,   Sev},     {0x0C, "CLC",  INH,   Clc},     {0x0D, "SEC",  INH,   Sec},
  {0x0E, "CLI",  INH,   Cli},     {0x0F, "SEI",  INH,   Sei},

  {0x10, "SBA",  INH,   Sba},     {0x11, "CBA",  INH,   Cba},     {0x16, "TAB",  INH,   Tab},
  {0x17, "TBA",  INH,   Tba},     {0x19, "DAA",  INH,   Daa},     {0x1A, "SLP",  INH,   Slp},
  {0x1B, "ABA",  INH,   Aba},

  {0x20, "BRA",  REL,   Bra},     {0x22, "BHI",  REL,   Bhi},     {0x23, "BLS",  REL,   Bls},
  {0x24, "BCC",  REL,   Bcc},     {0x25, "BCS",  REL,   Bcs},     {0x26, "BNE",  REL,   Bne},
  {0x27, "BEQ",  REL,   Beq},     {0x28, "BVC",  REL,   Bvc},     {0x29, "BVS",  REL,   Bvs},
  {0x2A, "BPL",  REL,   Bpl},     {0x2B, "BMI",  REL,   Bmi},     {0x2C, "BGE",  REL,   Bge},
  {0x2D, "BLT",  REL,   Blt},     {0x2E, "BGT",  REL,   Bgt},     {0x2F, "BLE",  REL,   Ble},

  {0x30, "TSX",  INH,   Tsx},     {0x32, "PULA", INH,   Pula},    {0x33, "PULB", INH,   Pulb},
  {0x35, "TXS",  INH,   Txs},     {0x36, "PSHA", INH,   Psha},    {0x37, "PSHB", INH,   Pshb},
  {0x38, "PULX", INH,   Pulx},    {0x39, "RTS",  INH,   Rts},     {0x3C, "PSHX", INH,   Pshx},
  {0x3F, "SWI",  INH,   Swi},

  {0x44, "LSRA", INH,   Lsra},    {0x46, "RORA", INH,   Rora},    {0x47, "ASRA", INH,   Asra},
  {0x48, "ASLA", INH,   Asla},    {0x49, "ROLA", INH,   Rola},    {0x4A, "DECA", INH,   Deca},
  {0x4C, "INCA", INH,   Inca},    {0x4D, "TSTA", INH,   Tsta},    {0x4F, "CLRA", INH,   Clra},

  {0x54, "LSRB", INH,   Lsrb},    {0x56, "RORB", INH,   Rorb},    {0x57, "ASRB", INH,   Asrb},
  {0x58, "ASLB", INH,   Aslb},    {0x59, "ROLB", INH,   Rolb},    {0x5A, "DECB", INH,   Decb},
  {0x5C, "INCB", INH,   Incb},    {0x5D, "TSTB", INH,   Tstb},    {0x5F, "CLRB", INH,   Clrb},

  {0x64, "LSR",  IDX,   LsrIdx},  {0x66, "ROR",  IDX,   RorIdx},  {0x67, "ASR",  IDX,   AsrIdx},
  {0x68, "ASL",  IDX,   AslIdx},  {0x69, "ROL",  IDX,   RolIdx},  {0x6D, "TST",  IDX,   TstIdx},
  {0x6F, "CLR",  IDX,   ClrIdx},

  {0x73, "COM",  EXT,   ComExt},  {0x79, "ROL",  EXT,   RolExt},  {0x7A, "DEC",  EXT,   DecExt},
  {0x7C, "INC",  EXT,   IncExt},  {0x7D, "TST",  EXT,   TstExt},  {0x7E, "JMP",  EXT,   JmpExt},
  {0x7F, "CLR",  EXT,   ClrExt},

  {0x80, "SUBA", IMM,   SubaImm}, {0x81, "CMPA", IMM,   CmpaImm}, {0x84, "ANDA", IMM,   AndaImm},
  {0x86, "LDAA", IMM,   LdaaImm}, {0x88, "EORA", IMM,   EoraImm}, {0x89, "ADCA", IMM,   AdcaImm},
  {0x8A, "ORAA", IMM,   OraaImm}, {0x8B, "ADDA", IMM,   AddaImm}, {0x8C, "CPX",  IMM16, CpxImm},
  {0x8D, "BSR",  REL,   Bsr},     {0x8E, "LDS",  IMM16, LdsImm},

  {0x96, "LDAA", DIR,   LdaaDir}, {0x97, "STAA", DIR,   StaaDir},

  {0xA0, "SUBA", IDX,   SubaIdx}, {0xA6, "LDAA", IDX,   LdaaIdx}, {0xA7, "STAA", IDX,   StaaIdx},
  {0xA9, "ADCA", IDX,   AdcaIdx},

  {0xB0, "SUBA", EXT,   SubaExt}, {0xB1, "CMPA", EXT,   CmpaExt}, {0xB6, "LDAA", EXT,   LdaaExt},
  {0xB7, "STAA", EXT,   StaaExt}, {0xB8, "EORA", EXT,   EoraExt}, {0xB9, "ADCA", EXT,   AdcaExt},
  {0xBA, "ORAA", EXT,   OraaExt}, {0xBB, "ADDA", EXT,   AddaExt}, {0xBC, "CPX",  EXT,   CpxExt},
  {0xBD, "JSR",  EXT,   JsrExt},  {0xBE, "LDS",  EXT,   LdsExt},  {0xBF, "STS",  EXT,   StsExt},

  {0xC1, "CMPB", IMM,   CmpbImm}, {0xC4, "ANDB", IMM,   AndbImm}, {0xC6, "LDAB", IMM,   LdabImm},
  {0xC8, "EORB", IMM,   EorbImm}, {0xC9, "ADCB", IMM,   AdcbImm}, {0xCE, "LDX",  IMM16, LdxImm},

  {0xD6, "LDAB", DIR,   LdabDir}, {0xD7, "STAB", DIR,   StabDir},

  {0xE6, "LDAB", IDX,   LdabIdx}, {0xE7, "STAB", IDX,   StabIdx}, {0xEA, "ORAB", IDX,   OrabIdx},

  {0xF0, "SUBB", EXT,   SubbExt}, {0xF6, "LDAB", EXT,   LdabExt}, {0xF7, "STAB", EXT,   StabExt},
  {0xF8, "EORB", EXT,   EorbExt}, {0xFA, "ORAB", EXT,   OrabExt}, {0xFC, "LDD",  EXT,   LddExt},
  {0xFE, "LDX",  EXT,   LdxExt},  {0xFF, "STX",  EXT,   StxExt},
};
// clang-format on

static_assert(std::size(DecodedOpcodes) == 123);

constexpr std::array<Handler, 256> BuildOpcodeTable() {
  std::array<Handler, 256> table{};
  for (const Decoded& d : DecodedOpcodes) table[d.opcode] = d.handler;
  return table;
}

constexpr std::array<uint8_t, 256> BuildLengths() {
  std::array<uint8_t, 256> lengths{};
  for (const Decoded& d : DecodedOpcodes) lengths[d.opcode] = LengthOf(d.mode);
  return lengths;
}

constexpr std::array<const char*, 256> BuildMnemonics() {
  std::array<const char*, 256> names{};
  names.fill("");
  for (const Decoded& d : DecodedOpcodes) names[d.opcode] = d.mnemonic;
  return names;
}

}  // namespace

constinit const std::array<Handler, 256> OpcodeTable = BuildOpcodeTable();
constinit const std::array<uint8_t, 256> InstructionLength = BuildLengths();
constinit const std::array<const char*, 256> Mnemonic = BuildMnemonics();

ExecuteResult ExecuteOne(Core& core) {
  if (core.halted) [[unlikely]]
    return ExecuteResult::Halted;
  const uint8_t opcode = core.memory[core.cpu.PC++];
  core.cpu.Opcode = opcode;
  const Handler handler = OpcodeTable[opcode];
  if (handler == nullptr) [[unlikely]]
    return ExecuteResult::Undecoded;
  handler(core);
  return core.halted ? ExecuteResult::Halted : ExecuteResult::Ran;
}
