; The calculator: number entry, the key dispatch, the gauge (given, or
; counted over a swatch), straight-line conversions both ways, results shown
; one per "=" and printed as a block with the PRINT lamp on.

        .include "ram.inc"
        .include "macros.inc"

        .globl key_action, calc_power_on, jt_keys, jt_keys_end
        .globl gauge_missing, fits4, res_add, res_load, print_gauge, print_item
        .globl print_text, pb_start, pb_char, pb_str, pb_emit, fmt_text
        .globl count_decimals

        ; firmware key numbers
        .equ KEY_POINT, 10
        .equ KEY_C,     11
        .equ KEY_AC,    12
        .equ KEY_ACNG,  13
        .equ KEY_S,     14
        .equ FN_A,      19
        .equ FN_B,      20
        .equ FN_C,      21
        .equ FN_D,      22
        .equ FN_E,      23
        .equ FN_F,      24
        .equ FN_G,      25
        .equ FN_H,      26
        .equ FN_I,      27
        .equ FN_M,      31
        .equ FN_N,      32
        .equ KEY_COUNT, 36

        ; inputs given (INFLAGS)
        .equ F_S, 0x01
        .equ F_R, 0x02
        .equ F_X, 0x04
        .equ F_Y, 0x08

        ; lamps on port 2
        .equ LAMP_GAUGE, 0x01
        .equ LAMP_MODE,  0x02
        .equ LAMP_MT,    0x08
        .equ LAMP_ARC,   0x10
        .equ LAMP_PRINT, 0x20

        .equ GAUGE_MARK, 0x5A

        .sect .text.calc,"ax"

; ------------------------------------------------------------ power-on
; Everything but the gauge starts afresh; the gauge stays when its mark
; says the memory kept it.
calc_power_on:
        ldaa    GAUGE_OK
        cmpa    #GAUGE_MARK
        bne     1f
        ldaa    GAUGE_CHK
        cmpa    #(~GAUGE_MARK) & 0xFF
        beq     2f
1:      jsr     gauge_forget
2:      clr     PRINTON
        clr     LAMPS
        jmp     key_acng

gauge_forget:
        clr     GAUGE_OK
        clr     GAUGE_CHK
        clr32   GAUGE_S
        clr32   GAUGE_R
        rts

; C set when no gauge is held.
gauge_missing:
        ldaa    GAUGE_OK
        cmpa    #GAUGE_MARK
        bne     1f
        clc
        rts
1:      sec
        rts

; ------------------------------------------------------------ dispatch
; KEY holds the confirmed key. While E is shown only C, the two ACs, paper
; feed and the print switch act; every other key just beeps.
key_action:
        ldaa    KEY
        cmpa    #KEY_COUNT
        bcc     key_none
        tst     ERRFLAG
        beq     1f
        cmpa    #KEY_C
        beq     1f
        cmpa    #KEY_AC
        beq     1f
        cmpa    #KEY_ACNG
        beq     1f
        cmpa    #FN_M
        beq     1f
        cmpa    #FN_N
        beq     1f
        jmp     beep
1:      asla
        xplusa  jt_keys
        ldaa    0,x
        ldab    1,x
        pshb                            ; the handler's address as a return
        psha                            ; address: RTS goes there, and the
key_none:
        rts                             ; handler's own RTS returns for us

; ------------------------------------------------------------ entry
entry_clear:
        clr     ENTON
        clr     ENTPT
        clr     ENTFD
        clr32   ENTVAL
        rts

; Start a new entry unless one is being typed.
entry_begin:
        tst     ENTON
        bne     1f
        bsr     entry_clear
        ldaa    #1
        staa    ENTON
1:      rts

; C set when the whole part already has four digits (ENTVAL >= 1000.0).
entry_full:
        ldaa    ENTVAL
        oraa    ENTVAL+1
        bne     1f
        ldx     ENTVAL+2
        cpx     #10000
        bcc     1f
        clc
        rts
1:      sec
        rts

key_digit:
        bsr     entry_begin
        tst     ENTFD
        bne     refuse                  ; one decimal only
        bsr     entry_full
        bcs     refuse
        tst     ENTPT
        bne     1f
        mov32   ACC, ENTVAL             ; whole digit: value * 10 + digit * 10
        ldi32   OPR, 10
        jsr     mul32
        ldaa    KEY
        asla
        staa    OPR+3
        asla
        asla
        adda    OPR+3
        staa    OPR+3
        bra     2f
1:      mov32   ACC, ENTVAL             ; the tenths digit
        ldaa    KEY
        staa    OPR+3
        ldaa    #1
        staa    ENTFD
2:      clr     OPR
        clr     OPR+1
        clr     OPR+2
        jsr     add32
        mov32   ENTVAL, ACC
        jmp     show_entry

refuse: jmp     beep

key_point:
        bsr     entry_begin
        tst     ENTPT
        bne     refuse
        ldaa    #1
        staa    ENTPT
        ; fall through

; The entry as typed: "12." lights the point after the 2.
show_entry:
        mov32   ACC, ENTVAL
        tst     ENTFD
        beq     1f
        ldaa    #1
        staa    FMTDEC
        jmp     show_number
1:      ldi32   OPR, 10
        jsr     div32
        clr     FMTDEC
        jsr     fmt_number
        tst     ENTPT
        beq     2f
        ldaa    DSEG+3
        oraa    #0x80
        staa    DSEG+3
2:      jmp     disp_refresh

; C: the entry (and an E) goes; the function and its inputs stay.
key_clear:
        clr     ERRFLAG
        bsr     entry_clear
        jmp     show_idle

; AC "All": the gauge goes too.
key_ac: jsr     gauge_forget
        ; fall through

; AC "No gauge": everything but the gauge.
key_acng:
        clr     ERRFLAG
        clr     FUNC
        clr     INFLAGS
        clr     RESN
        clr     RESI
        jsr     entry_clear
        jsr     lamps_update
        jmp     show_idle

; S R X Y Z: the entry becomes that input of the function.
key_letter:
        tst     ENTON
        beq     letter_error            ; nothing typed
        ldaa    KEY
        suba    #KEY_S                  ; 0-4: S R X Y Z
        bra     letter_store
letter_error:
        jmp     show_error

; Function keys A-D choose a function; its inputs start empty.
fn_select:
        ldaa    KEY
        staa    FUNC
        clr     INFLAGS
        clr     RESN
        clr     RESI
        jsr     entry_clear
        jsr     lamps_update
        jmp     show_idle

; J and K switch their lamps.
; M/T decides whether a shaping function needs the gauge: update GAUGE too.
fn_mode:
        ldaa    LAMPS
        eora    #LAMP_MODE
        staa    LAMPS
        jmp     lamps_update
fn_mt:  ldaa    LAMPS
        eora    #LAMP_MT
        staa    LAMPS
        jmp     lamps_update

; M: paper feed.
fn_feed:
        jmp     paper_feed

; N: printing on or off.
fn_print:
        ldaa    PRINTON
        eora    #1
        staa    PRINTON
        jmp     lamps_update

; L: print every character the printer knows, four lines; with 1-4 typed
; first, only that line.
fn_test:
        clr     KEYSAVE                 ; 0: every line
        tst     ENTON
        beq     1f
        mov32   ACC, ENTVAL
        ldi32   OPR, 10
        jsr     div32
        ldaa    ACC+3
        staa    KEYSAVE
        jsr     entry_clear
1:      ldx     #test_lines
        clr     PWORK                   ; line number - 1
2:      ldaa    0,x
        beq     5f
        ldaa    KEYSAVE
        beq     3f
        ldaa    PWORK
        inca
        cmpa    KEYSAVE
        bne     4f
3:      pshx
        jsr     pb_start
        pulx
        jsr     pb_str
        pshx
        jsr     pb_emit
        pulx
        bra     6f
4:      jsr     pb_skip
6:      inx                             ; past the line's end byte
        inc     PWORK
        bra     2b
5:      jmp     paper_feed

; X = text -> X on its end byte, nothing printed.
pb_skip:
        ldaa    0,x
        cmpa    #2
        bcs     1f
        inx
        bra     pb_skip
1:      rts

; GAUGE lamp: entry of a gauge in progress, or a function waiting for one
; (conversions; slanting and curve line with lengths in cm, that is M/T
; dark; the sleeve cap always). PRINT lamp: printing on. ARC LENGTH goes
; out here and is lit again by the result display.
lamps_update:
        ldaa    LAMPS
        anda    #~(LAMP_GAUGE | LAMP_PRINT | LAMP_ARC) & 0xFF
        tst     PRINTON
        beq     1f
        oraa    #LAMP_PRINT
1:      staa    LAMPS
        ldaa    FUNC
        cmpa    #FN_A
        beq     2f
        cmpa    #FN_B
        beq     2f
        cmpa    #FN_C
        beq     3f
        cmpa    #FN_D
        beq     3f
        cmpa    #FN_I
        beq     3f
        cmpa    #FN_G
        bcs     5f
        cmpa    #FN_I
        bcc     5f
        ldab    LAMPS                   ; G, H: only lengths need the gauge
        andb    #LAMP_MT
        bne     5f
        bra     3f
2:      tst     RESN                    ; gauge being entered until "="
        bne     5f
        bra     4f
3:      jsr     gauge_missing
        bcc     5f
4:      ldaa    LAMPS
        oraa    #LAMP_GAUGE
        staa    LAMPS
5:      jmp     set_lamps

; A = letter index. Which letters a function takes is in fn_letters.
letter_store:
        staa    KEYSAVE
        ldab    #1
1:      tsta
        beq     2f
        aslb
        deca
        bra     1b
2:      stab    LETTER
        ldaa    FUNC
        suba    #FN_A
        bcs     letter_error            ; no function chosen
        cmpa    #FN_I - FN_A + 1
        bcc     letter_error
        xplusa  fn_letters
        ldaa    0,x                     ; the function's letters, bit 0 = S
        ldab    KEYSAVE
3:      tstb
        beq     4f
        lsra
        decb
        bra     3b
4:      lsra
        bcs     6f
        jmp     show_error
6:      ldaa    INFLAGS
        oraa    LETTER
        staa    INFLAGS
        jsr     input_slot
        ldaa    ENTVAL
        staa    0,x
        ldaa    ENTVAL+1
        staa    1,x
        ldaa    ENTVAL+2
        staa    2,x
        ldaa    ENTVAL+3
        staa    3,x
        clr     ENTON                   ; the next digit starts a new entry
        clr     RESN
        jmp     lamps_update

; X = the input slot of the letter key in KEYSAVE (four bytes a letter).
input_slot:
        ldaa    KEYSAVE
        asla
        asla
        adda    #(IN_S) & 0xFF
        staa    TMPW+1
        ldaa    #(IN_S) >> 8
        adca    #0
        staa    TMPW
        ldx     TMPW
        rts

; ------------------------------------------------------------ "="
; "=" works the function out and shows its first result; pressed again it
; steps through the results. "P=" does the same.
key_equals:
        tst     ENTON
        bne     1f
        tst     RESN
        beq     1f
        inc     RESI                    ; next result
        ldaa    RESI
        cmpa    RESN
        bcs     2f
        clr     RESI
2:      jmp     show_result
1:      ldaa    FUNC
        bne     3f
        rts                             ; no function chosen: nothing to do
3:      clr     RESN
        clr     RESI
        jsr     compute
        bcs     4f
        jsr     entry_clear
        jsr     lamps_update
        jsr     show_result
        tst     PRINTON
        beq     5f
        jmp     print_block
4:      clr     RESN
        jsr     lamps_update
        jmp     show_error
5:      rts

compute:
        ldaa    FUNC
        cmpa    #FN_A
        bne     1f
        jmp     calc_gauge
1:      cmpa    #FN_B
        bne     2f
        jmp     calc_swatch
2:      cmpa    #FN_C
        bne     3f
        jmp     calc_cm
3:      cmpa    #FN_D
        bne     4f
        jmp     calc_count
4:      jmp     shape_compute

; C set unless ACC fits four digits (at most 9999).
fits4:  ldaa    ACC
        oraa    ACC+1
        bne     1f
        ldx     ACC+2
        cpx     #10000
        bcc     1f
        clc
        rts
1:      sec
        rts

; C set unless ACC is a usable gauge: above 0, at most 999.9.
gauge_check:
        tst32   ACC
        beq     1f
        bra     fits4
1:      sec
        rts

; Gauge given: S and R are stitches and rows per 10 cm. One of them alone
; replaces that half of the gauge held.
calc_gauge:
        ldaa    INFLAGS
        anda    #F_S
        beq     1f
        mov32   ACC, IN_S
        bra     2f
1:      jsr     gauge_missing
        bcs     calc_fail
        mov32   ACC, GAUGE_S
2:      bsr     gauge_check
        bcs     calc_fail
        mov32   NEWS, ACC
        ldaa    INFLAGS
        anda    #F_R
        beq     3f
        mov32   ACC, IN_R
        bra     4f
3:      jsr     gauge_missing
        bcs     calc_fail
        mov32   ACC, GAUGE_R
4:      bsr     gauge_check
        bcs     calc_fail
        mov32   NEWR, ACC
        jmp     gauge_store

calc_fail:
        sec
        rts

; Gauge from a swatch: S stitches over X cm, R rows over Y cm, per 10 cm
; rounded to 0.1. A pair may be left out to keep that half of the gauge.
calc_swatch:
        ldaa    INFLAGS
        anda    #F_S | F_X
        beq     1f
        cmpa    #F_S | F_X
        bne     calc_fail               ; a pair half given
        mov32   ACC, IN_S               ; 10 * S / X per 10 cm, in tenths
        ldi32   T1, 100
        mov32   T2, IN_X
        jsr     muldivround
        bcs     calc_fail
        bra     2f
1:      jsr     gauge_missing
        bcs     calc_fail
        mov32   ACC, GAUGE_S
2:      bsr     gauge_check
        bcs     calc_fail
        mov32   NEWS, ACC
        ldaa    INFLAGS
        anda    #F_R | F_Y
        beq     3f
        cmpa    #F_R | F_Y
        bne     calc_fail
        mov32   ACC, IN_R
        ldi32   T1, 100
        mov32   T2, IN_Y
        jsr     muldivround
        bcs     calc_fail
        bra     4f
3:      ldaa    INFLAGS
        anda    #F_S | F_X
        beq     calc_fail               ; nothing counted at all
        jsr     gauge_missing
        bcs     calc_fail
        mov32   ACC, GAUGE_R
4:      bsr     gauge_check
        bcs     calc_fail
        mov32   NEWR, ACC
        ; fall through

gauge_store:
        mov32   GAUGE_S, NEWS
        mov32   GAUGE_R, NEWR
        ldaa    #GAUGE_MARK
        staa    GAUGE_OK
        ldaa    #(~GAUGE_MARK) & 0xFF
        staa    GAUGE_CHK
        mov32   ACC, GAUGE_S
        ldaa    #'S'
        ldab    #1
        jsr     res_add
        mov32   ACC, GAUGE_R
        ldaa    #'R'
        ldab    #1
        jsr     res_add
        clc
        rts

; Centimetres to count: stitches = X * gauge / 10, rows = Y * gauge / 10,
; rounded to whole stitches and rows.
calc_cm:
        jsr     gauge_missing
        bcs     calc_fail
        ldaa    INFLAGS
        anda    #F_X | F_Y
        beq     calc_fail
        anda    #F_X
        beq     1f
        mov32   ACC, IN_X
        mov32   T1, GAUGE_S
        ldi32   T2, 1000
        jsr     muldivround
        bcs     calc_fail
        jsr     fits4
        bcs     calc_fail
        ldaa    #'S'
        clrb
        jsr     res_add
1:      ldaa    INFLAGS
        anda    #F_Y
        beq     2f
        mov32   ACC, IN_Y
        mov32   T1, GAUGE_R
        ldi32   T2, 1000
        jsr     muldivround
        bcs     calc_fail2
        jsr     fits4
        bcs     calc_fail2
        ldaa    #'R'
        clrb
        jsr     res_add
2:      clc
        rts

calc_fail2:
        sec
        rts

; Count to centimetres: X = S * 10 / gauge, Y = R * 10 / gauge, to 0.1 cm.
calc_count:
        jsr     gauge_missing
        bcs     calc_fail2
        ldaa    INFLAGS
        anda    #F_S | F_R
        beq     calc_fail2
        anda    #F_S
        beq     1f
        mov32   ACC, IN_S
        ldi32   T1, 100
        mov32   T2, GAUGE_S
        jsr     muldivround
        bcs     calc_fail2
        jsr     fits4
        bcs     calc_fail2
        ldaa    #'X'
        ldab    #1
        jsr     res_add
1:      ldaa    INFLAGS
        anda    #F_R
        beq     2f
        mov32   ACC, IN_R
        ldi32   T1, 100
        mov32   T2, GAUGE_R
        jsr     muldivround
        bcs     calc_fail2
        jsr     fits4
        bcs     calc_fail2
        ldaa    #'Y'
        ldab    #1
        jsr     res_add
2:      clc
        rts

; ------------------------------------------------------------ results
; ACC = value, A = its letter, B = its decimals.
res_add:
        pshb
        psha
        ldaa    RESN
        cmpa    #RESMAX
        bcs     1f
        pula                            ; full: the calculation will fail
        pulb
        ldaa    #1
        staa    RESFULL
        rts
1:      ldaa    RESN
        adda    #(RESK) & 0xFF
        staa    TMPW+1
        ldaa    #(RESK) >> 8
        adca    #0
        staa    TMPW
        ldx     TMPW
        pula
        staa    0,x                     ; RESK: letter
        pulb
        stab    RESMAX,x                ; RESD lies RESMAX bytes above
        ldaa    RESN
        bsr     res_address
        ldaa    ACC+2                   ; every result fits 16 bits
        staa    0,x
        ldaa    ACC+3
        staa    1,x
        inc     RESN
        rts

; A = result index -> X = its value (two bytes).
res_address:
        asla
        adda    #(RESV) & 0xFF
        staa    TMPW+1
        ldaa    #(RESV) >> 8
        adca    #0
        staa    TMPW
        ldx     TMPW
        rts

; A = result index -> ACC = value, FMTDEC = decimals, LETTER = letter.
res_load:
        psha
        bsr     res_address
        clr     ACC
        clr     ACC+1
        ldaa    0,x
        staa    ACC+2
        ldaa    1,x
        staa    ACC+3
        pula
        adda    #(RESK) & 0xFF
        staa    TMPW+1
        ldaa    #(RESK) >> 8
        adca    #0
        staa    TMPW
        ldx     TMPW
        ldaa    0,x
        staa    LETTER
        ldaa    RESMAX,x
        staa    FMTDEC
        rts

; The ARC LENGTH lamp is lit while an arc length is shown.
show_result:
        ldaa    RESI
        bsr     res_load
        ldaa    LAMPS
        anda    #~LAMP_ARC & 0xFF
        ldab    LETTER
        cmpb    #'L'
        bne     1f
        oraa    #LAMP_ARC
1:      staa    LAMPS
        jsr     set_lamps
        jmp     show_number

; P=: with the curve line and the sleeve cap it goes straight to the arc
; length (working the function out first when needed); elsewhere as "=".
key_pequals:
        ldaa    FUNC
        cmpa    #FN_H
        beq     1f
        cmpa    #FN_I
        beq     1f
        jmp     key_equals
1:      tst     ENTON
        bne     2f
        tst     RESN
        bne     3f
2:      jsr     key_equals
        tst     ERRFLAG
        bne     9f
3:      clr     KEYSAVE
4:      ldaa    KEYSAVE
        cmpa    RESN
        bcc     8f
        xplusa  RESK
        ldaa    0,x
        cmpa    #'L'
        beq     5f
        inc     KEYSAVE
        bra     4b
5:      ldaa    KEYSAVE
        staa    RESI
        jmp     show_result
8:      jmp     beep                    ; no arc length without a gauge
9:      rts

; ------------------------------------------------------------ printing
; A result block: title, the gauge used, the inputs, the results, then one
; line of paper. Lines are at most 16 characters: letter, number in seven
; columns, unit. "bd" prints cm and a double quote prints x.
print_block:
        ldaa    FUNC
        cmpa    #FN_E
        bcs     0f
        jmp     shape_print
0:      cmpa    #FN_A
        bne     1f
        ldx     #t_gauge
        bra     3f
1:      cmpa    #FN_B
        bne     2f
        ldx     #t_swatch
        bra     3f
2:      cmpa    #FN_C
        bne     4f
        ldx     #t_cm
        bra     3f
4:      ldx     #t_count
3:      jsr     print_text
        ldaa    FUNC
        cmpa    #FN_C
        bcs     5f                      ; gauge and swatch: no gauge line
        jsr     print_gauge
5:      ldaa    FUNC                    ; the given gauge is its own result
        cmpa    #FN_A
        beq     6f
        jsr     print_inputs
6:      clr     RESI
7:      ldaa    RESI
        cmpa    RESN
        bcc     8f
        jsr     res_load
        jsr     result_unit
        jsr     print_item
        inc     RESI
        bra     7b
8:      clr     RESI
        jmp     paper_feed

; X = unit of the result in LETTER: per 10 cm for a gauge, else by letter.
result_unit:
        ldaa    FUNC
        cmpa    #FN_C
        bcc     1f
        ldx     #u_per10
        rts
1:      ldaa    LETTER
        ; fall through

; A = letter -> X = its unit.
letter_unit:
        cmpa    #'S'
        bne     1f
        ldx     #u_st
        rts
1:      cmpa    #'R'
        bne     2f
        ldx     #u_rows
        rts
2:      ldx     #u_cm
        rts

; The inputs given, in the order S R X Y. Lengths have one decimal; counts
; show their decimal only when they have one.
print_inputs:
        clr     KEYSAVE
1:      ldaa    KEYSAVE
        ldab    #1
2:      tsta
        beq     3f
        aslb
        deca
        bra     2b
3:      stab    PWORK                   ; the letter's bit
        ldaa    INFLAGS
        ldab    PWORK
        ; A AND B without an AND of two registers: test bit by bit
        bsr     flag_given
        bcc     4f
        jsr     input_slot
        jsr     ldacc
        ldx     #letters
        ldab    KEYSAVE
5:      tstb
        beq     6f
        inx
        decb
        bra     5b
6:      ldaa    0,x
        staa    LETTER
        ldaa    #1
        staa    FMTDEC
        ldaa    KEYSAVE
        cmpa    #2
        bcc     7f                      ; X and Y are lengths
        jsr     count_decimals
7:      ldaa    LETTER
        bsr     letter_unit
        jsr     print_item
4:      inc     KEYSAVE
        ldaa    KEYSAVE
        cmpa    #4
        bne     1b
        rts

; C set when the bit in B is set in A (B holds a single bit).
flag_given:
        lsrb
        bcs     2f
        lsra
        bra     flag_given
2:      lsra
        rts

; ACC in tenths: a whole count loses its tenths digit (FMTDEC = 0).
count_decimals:
        mov32   SAVEV, ACC
        ldi32   OPR, 10
        jsr     div32
        ldaa    REM+3
        beq     1f
        mov32   ACC, SAVEV
        rts
1:      clr     FMTDEC
        rts

; "G 22.0"30.0": the gauge used, stitches x rows per 10 cm.
print_gauge:
        jsr     pb_start
        ldaa    #'G'
        jsr     pb_char
        ldaa    #' '
        jsr     pb_char
        mov32   ACC, GAUGE_S
        ldaa    #1
        staa    FMTDEC
        jsr     pb_numtrim
        ldaa    #'"'
        jsr     pb_char
        mov32   ACC, GAUGE_R
        ldaa    #1
        staa    FMTDEC
        jsr     pb_numtrim
        jmp     pb_emit

; LETTER, ACC with FMTDEC decimals, X = unit: "S    110 ST".
print_item:
        pshx
        jsr     pb_start
        ldaa    LETTER
        jsr     pb_char
        jsr     pb_num
        ldaa    #' '
        jsr     pb_char
        pulx
        jsr     pb_str
        jmp     pb_emit

; X = text ended by 0: one line.
print_text:
        pshx
        jsr     pb_start
        pulx
        jsr     pb_str
        jmp     pb_emit

; ------------------------------------------------------------ print buffer
pb_start:
        clr     PPOS
        rts

; A = character, appended while the line has room. Keeps X.
pb_char:
        pshx
        psha
        ldaa    PPOS
        cmpa    #16
        bcc     1f
        adda    #(PRINTBUF) & 0xFF
        staa    TMPW+1
        ldaa    #(PRINTBUF) >> 8
        adca    #0
        staa    TMPW
        ldx     TMPW
        pula
        staa    0,x
        inc     PPOS
        pulx
        rts
1:      pula
        pulx
        rts

; X = text ended by 0 (or by 1, which ends a line of the test print);
; X is left on the end byte.
pb_str:
1:      ldaa    0,x
        cmpa    #2
        bcs     2f
        bsr     pb_char
        inx
        bra     1b
2:      rts

; End the line (0x80 when it is short) and print it.
pb_emit:
        ldaa    PPOS
        cmpa    #16
        bcc     1f
        ldaa    #LINE_END
        bsr     pb_char
1:      jmp     print_line

; ACC with FMTDEC decimals in seven columns, right-aligned.
pb_num: bsr     fmt_text
        ldx     #NUMTXT+2
1:      ldaa    0,x
        bsr     pb_char
        inx
        cpx     #NUMTXT+9
        bne     1b
        rts

; The same without the leading blanks.
pb_numtrim:
        bsr     fmt_text
        ldx     #NUMTXT
1:      ldaa    0,x
        cmpa    #' '
        bne     2f
        inx
        bra     1b
2:      ldaa    0,x
        bsr     pb_char
        inx
        cpx     #NUMTXT+9
        bne     2b
        rts

; ACC with FMTDEC decimals -> NUMTXT, nine characters right-aligned:
; " 00000123" as blanks and digits, or "0000012.3" with the point.
fmt_text:
        jsr     to_digits
        ldaa    #' '
        staa    NUMTXT
        ldaa    #1
        staa    FMTLEAD
        ldaa    #7
        suba    FMTDEC
        staa    FMTLIM                  ; the units digit always shows
        clr     FMTIDX
        ldx     #DIGS
1:      tst     FMTLEAD
        beq     3f
        ldaa    FMTIDX
        cmpa    FMTLIM
        bcc     2f
        ldaa    0,x
        bne     2f
        ldaa    #' '
        bra     4f
2:      clr     FMTLEAD
3:      ldaa    0,x
        adda    #'0'
4:      staa    NUMTXT+1-DIGS,x
        inx
        inc     FMTIDX
        ldaa    FMTIDX
        cmpa    #8
        bne     1b
        tst     FMTDEC
        beq     6f
        ldx     #NUMTXT                 ; move the whole part left, insert "."
5:      ldaa    1,x
        staa    0,x
        inx
        cpx     #NUMTXT+7
        bne     5b
        ldaa    #'.'
        staa    NUMTXT+7
6:      rts

        .sect .rodata.calc,"a"
t_gauge:   .asciz "GAUGE"
t_swatch:  .asciz "SWATCH GAUGE"
t_cm:      .asciz "bd TO ST/ROWS"
t_count:   .asciz "ST/ROWS TO bd"
u_per10:   .asciz "/10bd"
u_st:      .asciz "ST"
u_rows:    .asciz "ROWS"
u_cm:      .asciz "bd"
letters:   .ascii "SRXY"

; The input letters each function A-I takes: bit 0 S, 1 R, 2 X, 3 Y, 4 Z.
fn_letters:
        .byte   0x03, 0x0F, 0x0C, 0x03  ; gauge, swatch, cm to count, back
        .byte   0x1F, 0x1F              ; dividing: n as S R X or Y, k as Z
        .byte   0x1C, 0x0C, 0x1C        ; slant X Y Z, curve X Y, cap X Y Z

; The printer test: every character of the font, four lines (each ended by
; 1), then 0.
test_lines:
        .ascii  "0123456789.,-+=/"
        .byte   1
        .ascii  "ABCDEFGHIJKLMNOP"
        .byte   1
        .ascii  "QRSTUVWXYZ:()%*#"
        .byte   1
        .ascii  "\"<>bd"
        .byte   1
        .byte   0

; Key handlers by firmware key number (row * 8 + column).
jt_keys:
        .word   key_digit, key_digit, key_digit, key_digit, key_digit
        .word   key_digit, key_digit, key_digit, key_digit, key_digit
        .word   key_point               ; 10 "."
        .word   key_clear               ; 11 C
        .word   key_ac                  ; 12 AC (All)
        .word   key_acng                ; 13 AC (No gauge)
        .word   key_letter, key_letter, key_letter, key_letter, key_letter ; S R X Y Z
        .word   fn_select               ; 19 A gauge
        .word   fn_select               ; 20 B swatch gauge
        .word   fn_select               ; 21 C centimetres to stitches/rows
        .word   fn_select               ; 22 D stitches/rows to centimetres
        .word   fn_select               ; 23 E dividing
        .word   fn_select               ; 24 F dividing, plain rows after
        .word   fn_select               ; 25 G slanting line
        .word   fn_select               ; 26 H curve line
        .word   fn_select               ; 27 I sleeve cap
        .word   fn_mode                 ; 28 J MODE
        .word   fn_mt                   ; 29 K M/T
        .word   fn_test                 ; 30 L printer test
        .word   fn_feed                 ; 31 M paper feed
        .word   fn_print                ; 32 N printing on/off
        .word   key_none                ; 33 (no key)
        .word   key_equals              ; 34 =
        .word   key_pequals             ; 35 P=
jt_keys_end:
