; Unsigned 32-bit arithmetic on the RAM registers ACC, OPR and REM. The
; processor has no subtract-with-borrow, multiply or 16-bit add that the
; emulator decodes, so everything is built from byte adds with carry.
; None of these routines touches X.

        .include "ram.inc"
        .include "macros.inc"

        .globl add32, sub32, mul32, div32, divround, muldivround

        .sect .text.low,"ax"

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

; ACC *= OPR; C set when the product does not fit 32 bits.
mul32:  mov32   MWK, ACC
        clr32   ACC
        clr     MOVF
        ldaa    #32
        staa    MCNT
1:      clc
        rol     ACC+3
        rol     ACC+2
        rol     ACC+1
        rol     ACC
        bcc     2f
        inc     MOVF
2:      clc
        rol     MWK+3
        rol     MWK+2
        rol     MWK+1
        rol     MWK
        bcc     3f
        bsr     add32
        bcc     3f
        inc     MOVF
3:      dec     MCNT
        bne     1b
        tst     MOVF
        beq     4f
        sec
        rts
4:      clc
        rts

; ACC = ACC / OPR, REM = the remainder; C set when OPR is 0.
div32:  tst32   OPR
        bne     1f
        sec
        rts
1:      clr32   REM
        ldaa    #32
        staa    MCNT
2:      clc
        rol     ACC+3
        rol     ACC+2
        rol     ACC+1
        rol     ACC
        rol     REM+3
        rol     REM+2
        rol     REM+1
        rol     REM
        sec                             ; trial REM - OPR into DTMP
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
        bcc     3f                      ; REM < OPR: quotient bit 0
        mov32   REM, DTMP
        inc     ACC+3
3:      dec     MCNT
        bne     2b
        clc
        rts

; ACC = ACC / OPR rounded to nearest (halves up); C set when OPR is 0.
divround:
        pshx
        mov32   MWK, OPR
        ldx     #OPR
        lsr     0,x
        ror     1,x
        ror     2,x
        ror     3,x
        bsr     add32
        mov32   OPR, MWK
        pulx
        bra     div32

; ACC = ACC * T1 / T2 rounded; C set on overflow or a zero divisor.
muldivround:
        mov32   OPR, T1
        bsr     mul32
        bcs     1f
        mov32   OPR, T2
        bra     divround
1:      rts
