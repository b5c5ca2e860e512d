#pragma once

namespace scopewatch {

// Marks the upper halves of the processor's vector registers unused, where the processor has
// them (x86 with AVX; elsewhere it does nothing).
//
// A thread whose upper halves are in use (some library of the GUI leaves them so, and a new
// thread inherits its creator's registers) runs every non-AVX floating-point instruction
// several times slower on current x86 processors: the database build's trigonometry took
// two and a half times as long on workers started from the GUI thread. A thread that does
// such work calls this first.
void ClearUpperVectorRegisters();

}  // namespace scopewatch
