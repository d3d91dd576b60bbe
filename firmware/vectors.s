; Vector table. The device runs without interrupts: only the reset vector
; is used, the others stay 0.

        .globl vectors
        .sect .vectors,"a"
vectors:
        .word   0, 0, 0, 0, 0, 0, 0     ; 0xFFF0-0xFFFD: not used
        .word   reset                   ; 0xFFFE
