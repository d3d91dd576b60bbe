; Display link and number formatting: the three-wire serial link to the
; display controller (select B6 low, clock B5 rising, data on CA2, B7 marks a
; command) and the conversion of numbers to the four seven-segment digits.

        .include "defs.inc"
        .include "macros.inc"

        .globl display_setup, disp_command, disp_refresh
        .globl fmt_number, show_number, show_error, show_idle, seg_of
        .globl to_digits

        .equ CMD_CLEAR, 0x20
        .equ CMD_REFRESH, 0x11

        .sect .text.low,"ax"

; Controller set-up after reset.
display_setup:
        ldaa    #0x54
        bsr     disp_command
        ldaa    #0x30
        bsr     disp_command
        ldaa    #0x14
        ; fall through

; One command byte in A, in a select pulse of its own.
disp_command:
        psha
        ldaa    #0x80
        staa    DCMD
        bsr     disp_select
        pula
        bsr     disp_send
        bra     disp_deselect

; Select low, clock low, B7 = DCMD. The first write with select low makes the
; controller start a new byte.
disp_select:
        ldaa    DCMD
        oraa    #0x0F
        staa    PIA_B
        rts

disp_deselect:
        ldaa    #0x4F
        staa    PIA_B
        ldaa    #0x34
        staa    PIA_ACTL
        rts

; Clock out A, most significant bit first: CA2 carries the bit, the rising
; clock edge hands it over.
disp_send:
        staa    DBYTE
        ldaa    #8
        staa    DCNT
1:      ldaa    #0x34
        tst     DBYTE
        bpl     2f
        ldaa    #0x3C
2:      staa    PIA_ACTL
        ldaa    DCMD
        oraa    #0x0F
        staa    PIA_B
        oraa    #0x20
        staa    PIA_B
        clc
        rol     DBYTE
        dec     DCNT
        bne     1b
        rts

; Send the four digits in DSEG: clear, eight data bytes (segments, filler),
; refresh, all in one select.
disp_refresh:
        ldaa    #0x80
        staa    DCMD
        bsr     disp_select
        ldaa    #CMD_CLEAR
        bsr     disp_send
        clr     DCMD
        ldx     #DSEG
1:      ldaa    0,x
        bsr     disp_send
        clra
        bsr     disp_send
        inx
        cpx     #DSEG+4
        bne     1b
        ldaa    #0x80
        staa    DCMD
        ldaa    #CMD_REFRESH
        bsr     disp_send
        bra     disp_deselect

; A = digit 0-9 -> A = its segment pattern. Keeps X.
seg_of:
        pshx
        xindex  segments
        ldaa    0,x
        pulx
        rts

; ACC -> DIGS[0..7], decimal, most significant first, by subtracting each
; power of ten as often as it goes. ACC is used up.
to_digits:
        ldx     #DIGS
        stx     DPTR
        ldx     #powers
1:      jsr     ldopr                   ; keeps X
        clrb
2:      jsr     sub32
        bcs     3f
        incb
        bra     2b
3:      jsr     add32                   ; one too many
        pshx
        ldx     DPTR
        stab    0,x
        inx
        stx     DPTR
        pulx
        inx
        inx
        inx
        inx
        cpx     #powers+32
        bne     1b
        rts

; ACC (FMTDEC decimals) -> DSEG. C set when it needs more than four digits.
; Leading zeros are blank, but one digit always stands before the point.
fmt_number:
        jsr     to_digits
        ldaa    DIGS
        oraa    DIGS+1
        oraa    DIGS+2
        oraa    DIGS+3
        beq     1f
        sec
        rts
1:      ldaa    #3
        suba    FMTDEC
        staa    FMTLIM
        ldaa    #1
        staa    FMTLEAD
        clr     FMTIDX
        ldx     #DIGS+4
2:      tst     FMTLEAD
        beq     4f
        ldaa    FMTIDX
        cmpa    FMTLIM
        bcc     3f
        ldaa    0,x
        bne     3f
        clra                            ; a leading zero: blank
        bra     5f
3:      clr     FMTLEAD
4:      ldaa    0,x
        bsr     seg_of
5:      staa    DSEG_OFS-4,x            ; X runs over DIGS+4 to DIGS+7
        inx
        inc     FMTIDX
        ldaa    FMTIDX
        cmpa    #4
        bne     2b
        tst     FMTDEC
        beq     6f
        ldaa    DSEG+2
        oraa    #0x80
        staa    DSEG+2
6:      clc
        rts

; Show ACC with FMTDEC decimals, or E when it does not fit.
show_number:
        bsr     fmt_number
        bcs     show_error
        jmp     disp_refresh

; E on the display and a beep; C clears it.
show_error:
        ldaa    #1
        staa    ERRFLAG
        clr     DSEG
        clr     DSEG+1
        clr     DSEG+2
        ldaa    #SEG_E
        staa    DSEG+3
        jsr     disp_refresh
        jmp     beep

; The idle display: a single 0.
show_idle:
        clr     DSEG
        clr     DSEG+1
        clr     DSEG+2
        ldaa    #SEG_0
        staa    DSEG+3
        jmp     disp_refresh

        .sect .rodata.display,"a"
segments:
        .byte   SEG_0, SEG_1, SEG_2, SEG_3, SEG_4, SEG_5, SEG_6, SEG_7, SEG_8, SEG_9
powers: .long   10000000, 1000000, 100000, 10000, 1000, 100, 10, 1
