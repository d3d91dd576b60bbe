; Unsigned arithmetic on the RAM registers. ACC64 and OPR64 are 64-bit;
; ACC and OPR are their low halves, the 32-bit registers most code uses.
; The processor has no multiply, no subtract with borrow and no 16-bit add
; that the emulator decodes, so everything is built from byte adds with
; carry. Routines say which registers they change; none keeps X unless it
; says so.

        .include "defs.inc"
        .include "macros.inc"

        .globl add32, sub32, mul32, div32, div64, divround, muldivround
        .globl asl64, lsr64, ror64, lsr32
        .globl add64, sub64, cmp64, isqrt64, x_plus_a, x_deref, ldacc, ldopr, stacc
        .globl accopr, opr_b, acc_inc, acc_dec, square, mul_b

        .sect .text.low,"ax"

; X = X + A (A unsigned). Changes A and TMPW.
x_plus_a:
        stx     TMPW
        adda    TMPW+1
        staa    TMPW+1
        ldaa    TMPW
        adca    #0
        staa    TMPW
        ldx     TMPW
        rts

; X = the 16-bit word at X. Changes A, B.
x_deref:
        ldaa    0,x
        ldab    1,x
        staa    TMPW
        stab    TMPW+1
        ldx     TMPW
        rts

; 32-bit moves through X: ACC or OPR from the four bytes at X, or ACC to
; them. X is kept.
ldacc:  ldaa    0,x
        staa    ACC
        ldaa    1,x
        staa    ACC+1
        ldaa    2,x
        staa    ACC+2
        ldaa    3,x
        staa    ACC+3
        rts

ldopr:  ldaa    0,x
        staa    OPR
        ldaa    1,x
        staa    OPR+1
        ldaa    2,x
        staa    OPR+2
        ldaa    3,x
        staa    OPR+3
        rts

stacc:  ldaa    ACC
        staa    0,x
        ldaa    ACC+1
        staa    1,x
        ldaa    ACC+2
        staa    2,x
        ldaa    ACC+3
        staa    3,x
        rts

; OPR = ACC. Keeps A and B.
accopr: pshx
        ldx     #ACC
        bsr     ldopr
        pulx
        rts

; OPR = B. Keeps X.
opr_b:  clr     OPR
        clr     OPR+1
        clr     OPR+2
        stab    OPR+3
        rts

; ACC += 1, ACC -= 1.
acc_inc:
        ldab    #1
        bsr     opr_b
        bra     add32
acc_dec:
        ldab    #1
        bsr     opr_b
        bra     sub32

; ACC64 = ACC * ACC; ACC64 = ACC * B.
square: bsr     accopr
        jmp     mul32
mul_b:  bsr     opr_b
        jmp     mul32

; ACC += OPR; C set on overflow.
add32:  ldaa    ACC+3
        adda    OPR+3
        staa    ACC+3
        ldaa    ACC+2
        adca    OPR+2
        staa    ACC+2
        ldaa    ACC+1
        adca    OPR+1
        staa    ACC+1
        ldaa    ACC
        adca    OPR
        staa    ACC
        rts

; ACC -= OPR; C set when OPR was larger (a borrow). Subtraction is the
; addition of the complement plus one; its carry out means "no borrow".
sub32:  sec
        ldaa    OPR+3
        eora    #0xFF
        adca    ACC+3
        staa    ACC+3
        ldaa    OPR+2
        eora    #0xFF
        adca    ACC+2
        staa    ACC+2
        ldaa    OPR+1
        eora    #0xFF
        adca    ACC+1
        staa    ACC+1
        ldaa    OPR
        eora    #0xFF
        adca    ACC
        staa    ACC
        bcs     1f
        sec
        rts
1:      clc
        rts

; ACC64 += OPR64; C set on overflow. Changes A, B; keeps X.
add64:  pshx
        ldx     #ACC64+8
        ldab    #8
        clc
1:      dex
        ldaa    0,x
        adca    OPR64_OFS,x
        staa    0,x
        decb
        bne     1b
        pulx
        rts

; ACC64 -= OPR64; C set on a borrow. Changes A, B; keeps X.
sub64:  pshx
        ldx     #ACC64+8
        ldab    #8
        sec
1:      dex
        ldaa    OPR64_OFS,x
        eora    #0xFF
        adca    0,x
        staa    0,x
        decb
        bne     1b
        pulx
        bcs     2f
        sec
        rts
2:      clc
        rts

; Compares ACC64 with OPR64: C set when ACC64 is smaller, Z set when they
; are equal. Changes A, B; keeps X.
cmp64:  pshx
        ldx     #ACC64
        ldab    #8
1:      ldaa    0,x
        suba    OPR64_OFS,x
        bne     2f
        inx
        decb
        bne     1b
2:      pulx
        rts

; ACC64 = ACC * OPR, the whole product; C set when it does not fit 32 bits.
; The multiplier is shifted out of the low half while the product comes in
; at the top. Changes A, B; keeps X.
mul32:  pshx
        bsr     mul32x
        pulx
        rts
mul32x: clr32   ACC64
        ldab    #32
1:      ldaa    ACC+3
        lsra                            ; C = the multiplier's next bit
        bcc     2f
        ldaa    ACC64+3                 ; high half += OPR, carry in C
        adda    OPR+3
        staa    ACC64+3
        ldaa    ACC64+2
        adca    OPR+2
        staa    ACC64+2
        ldaa    ACC64+1
        adca    OPR+1
        staa    ACC64+1
        ldaa    ACC64
        adca    OPR
        staa    ACC64
2:      ldx     #ACC64                  ; C:ACC64 one place right
        jsr     ror64
        decb
        bne     1b
        tst32   ACC64
        beq     3f
        sec
        rts
3:      clc
        rts

; ACC = ACC / OPR, REM = the remainder; C set when OPR is 0. ACC's high
; half is cleared. Changes A, B; keeps X.
div32:  mov32   ACC64, ACC
        clr32   ACC
        ldab    #32
        bra     divx

; ACC64 = ACC64 / OPR, REM = the remainder; C set when OPR is 0.
; Changes A, B; keeps X.
div64:  ldab    #64
divx:   pshx
        bsr     divide
        pulx
        rts

; B quotient bits: REM:ACC64 shifts left, OPR is taken from REM whenever it
; fits (REM has a 33rd bit: the one shifted out of it).
divide: tst32   OPR
        bne     1f
        sec
        rts
1:      stab    MCNT
        clr32   REM
2:      ldx     #ACC64
        jsr     asl64
        rol     REM+3
        rol     REM+2
        rol     REM+1
        rol     REM
        bcs     3f                      ; REM overflowed: OPR surely fits
        bsr     div_trial
        bcc     4f                      ; REM < OPR: quotient bit 0
        bra     5f
3:      bsr     div_trial
5:      mov32   REM, DTMP
        inc     ACC64+7
4:      dec     MCNT
        bne     2b
        clc
        rts

; DTMP = REM - OPR; C clear on a borrow.
div_trial:
        sec
        ldaa    OPR+3
        eora    #0xFF
        adca    REM+3
        staa    DTMP+3
        ldaa    OPR+2
        eora    #0xFF
        adca    REM+2
        staa    DTMP+2
        ldaa    OPR+1
        eora    #0xFF
        adca    REM+1
        staa    DTMP+1
        ldaa    OPR
        eora    #0xFF
        adca    REM
        staa    DTMP
        rts

; ACC = ACC / OPR rounded to nearest (halves up); C set when OPR is 0.
; Changes A, B; keeps X.
divround:
        pshx
        mov32   DTMP, OPR
        ldx     #OPR
        jsr     lsr32
        jsr     add32
        mov32   OPR, DTMP
        bsr     div32
        pulx
        rts

; ACC = ACC * T1 / T2 rounded; C set when the product does not fit 32 bits
; or T2 is 0. Keeps X.
muldivround:
        pshx
        mov32   OPR, T1
        bsr     mul32
        bcs     1f
        mov32   OPR, T2
        bsr     divround
1:      pulx
        rts

; ACC = floor(sqrt(ACC64)), digit by digit in base 2: each pass brings the
; next two bits into the remainder SQT (five bytes) and takes the trial
; 4 root + 1 from it when it fits. Changes A, B; keeps X.
isqrt64:
        pshx
        bsr     isqrtx
        pulx
        rts
isqrtx:
        mov32   SQN, ACC64              ; SQN = the number
        mov32   SQN+4, ACC
        clr32   ACC                     ; the root
        clr     SQT
        clr32   SQT+1
        ldaa    #32
        staa    MCNT
2:      ldab    #2
3:      ldx     #SQN                    ; SQT:SQN one place left
        jsr     asl64
        rol     SQT+4
        rol     SQT+3
        rol     SQT+2
        rol     SQT+1
        rol     SQT
        decb
        bne     3b
        clr     DTMP                    ; trial: 4 root + 1, five bytes
        mov32   DTMP+1, ACC
        ldab    #2
4:      ldx     #DTMP
        asl     4,x
        rol     3,x
        rol     2,x
        rol     1,x
        rol     0,x
        decb
        bne     4b
        inc     DTMP+4
        ldx     #ACC                    ; the root doubles either way
        asl     3,x
        rol     2,x
        rol     1,x
        rol     0,x
        sec                             ; SQT - trial into the trial
        .irp    n, 4, 3, 2, 1, 0
        ldaa    DTMP+\n
        eora    #0xFF
        adca    SQT+\n
        staa    DTMP+\n
        .endr
        bcc     6f                      ; a borrow: the bit is 0
        mov32   SQT, DTMP               ; it fits: keep the difference
        ldaa    DTMP+4
        staa    SQT+4
        inc     ACC+3                   ; after the doubling: no carry
6:      dec     MCNT
        bne     2b
        clr32   ACC64
        rts

; The eight bytes at X one place left (C goes out), or one place right:
; ror64 takes C in, lsr64 and lsr32 (four bytes) a 0. Keep A, B and X.
asl64:
        asl     7,x
        rol     6,x
        rol     5,x
        rol     4,x
        rol     3,x
        rol     2,x
        rol     1,x
        rol     0,x
        rts
lsr64:  clc
ror64:
        ror     0,x
        ror     1,x
        ror     2,x
        ror     3,x
        ror     4,x
        ror     5,x
        ror     6,x
        ror     7,x
        rts
lsr32:
        lsr     0,x
        ror     1,x
        ror     2,x
        ror     3,x
        rts
