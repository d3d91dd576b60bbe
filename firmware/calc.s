; The calculator: number entry, the key dispatch, the gauge (given, or
; counted over a swatch), straight-line conversions both ways, results shown
; one per "=" and printed as a block with the PRINT lamp on.

        .include "defs.inc"
        .include "macros.inc"

        .globl key_action, calc_power_on, jt_keys, jt_keys_end
        .globl gauge_missing, fits4, res_add, ld_count, calc_fail
        .globl units_in, unit_t2

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

; C set when lengths are in inches (gauge per 4 in), clear in cm (per 10).
units_in:
        ldaa    UNITS
        cmpa    #UNITS_IN
        bne     1f
        ldaa    UNITS_CHK
        cmpa    #(~UNITS_IN) & 0xFF
        bne     1f
        sec
        rts
1:      clc
        rts

; T2 = tenths of a length unit per gauge length: 1000 (10 cm), 400 (4 in).
unit_t2:
        ldi32   T2, 1000
        bsr     units_in
        bcc     1f
        ldi32   T2, 400
1:      rts

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
        xindex  jt_keys
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

; AC "All": the gauge goes too, and lengths are in centimetres again.
key_ac: jsr     gauge_forget
        clr     UNITS
        clr     UNITS_CHK
        ; fall through

; AC "No gauge": everything but the gauge.
key_acng:
        clr     ERRFLAG
        clr     FUNC
        ; fall through

; A function key: its inputs start empty (FUNC is set by fn_select).
fn_start:
        clr     INFLAGS
        clr     RESN
        clr     RESI
        jsr     entry_clear
        jsr     lamps_update
        jmp     show_idle

fn_select:
        ldaa    KEY
        staa    FUNC
        cmpa    #FN_A
        bne     fn_start
        tst     ENTON                   ; 4 A: inches, 1 0 A: centimetres
        beq     fn_start
        ldaa    ENTVAL
        oraa    ENTVAL+1
        bne     fn_start
        ldx     ENTVAL+2
        cpx     #100
        beq     1f
        cpx     #40
        bne     fn_start
        jsr     units_in                ; to inches
        bcs     3f
        ldaa    #UNITS_IN
        bra     2f
1:      jsr     units_in                ; to centimetres
        bcc     3f
        clra
2:      staa    UNITS
        eora    #0xFF
        staa    UNITS_CHK
        jsr     gauge_forget            ; a gauge in the other unit goes
3:      bsr     fn_start                ; the unit on show: per 4, per 10
        ldi32   ACC, 10
        jsr     units_in
        bcc     4f
        ldi32   ACC, 4
4:      clr     FMTDEC
        jmp     show_number

; S R X Y Z: the entry becomes that input of the function, when the
; function takes that letter.
key_letter:
        tst     ENTON
        beq     letter_error            ; nothing typed
        ldaa    KEY
        suba    #KEY_S                  ; the slot, 0-4: S R X Y Z
        staa    KEYSAVE
        ldaa    FUNC
        suba    #FN_A
        bcs     letter_error            ; no function chosen
        xindex  fn_letters
        ldaa    0,x                     ; the function's letters, bit 0 = S
        ldab    KEYSAVE
1:      lsra                            ; C = the letter's bit
        decb
        bpl     1b
        bcc     letter_error
        ldab    KEYSAVE
        bsr     slot_bit
        stab    PWORK
        ldaa    INFLAGS
        oraa    PWORK
        staa    INFLAGS
        ldaa    KEYSAVE
        bsr     input_slot
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
letter_error:
        jmp     show_error

; B = slot 0-4 -> B = its flag bit. Keeps A.
slot_bit:
        psha
        tba
        ldab    #1
1:      tsta
        beq     2f
        aslb
        deca
        bra     1b
2:      pula
        rts

; A = slot 0-4 -> X = its four bytes.
input_slot:
        asla
        asla
        xindex  IN_S
        rts

; J and K switch their lamps; the next "=" works the function out afresh.
fn_mode:
        ldaa    LAMPS
        eora    #LAMP_MODE
        bra     1f
fn_mt:  ldaa    LAMPS
        eora    #LAMP_MT
1:      staa    LAMPS
        clr     RESN
        jmp     lamps_update

; M: paper feed.
fn_feed:
        jmp     paper_feed

; N: printing on or off.
fn_print:
        ldaa    PRINTON
        eora    #1
        staa    PRINTON
        ; fall through

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
3:      jsr     pb_start
        jsr     pb_str
        pshx
        jsr     pb_emit
        pulx
        bra     6f
4:      ldaa    0,x                     ; skip the line
        cmpa    #2
        bcs     6f
        inx
        bra     4b
6:      inx                             ; past the line's end byte
        inc     PWORK
        bra     2b
5:      jmp     paper_feed

; ------------------------------------------------------------ "="
; "=" works the function out and shows its first result; pressed again it
; steps through the results.
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
        clr     RESFULL
        clr     GUSED
        bsr     compute
        bcs     4f
        tst     RESFULL                 ; a listing too long has no solution
        bne     4f
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

; P=: with the curve line and the sleeve cap it works the function out as
; "=" does (refusing the same inputs) and goes to the arc length; a curve in
; stitches and rows without a gauge has none and shows its first result.
; Elsewhere, and pressed again without an arc length, it is "=".
key_pequals:
        ldaa    FUNC
        cmpa    #FN_H
        beq     1f
        cmpa    #FN_I
        bne     key_equals
1:      clr     KEYSAVE                 ; 1: worked out just now
        tst     ENTON
        bne     2f
        tst     RESN
        bne     3f
2:      inc     KEYSAVE
        bsr     key_equals
        tst     ERRFLAG
        bne     9f
3:      clr     PWORK
4:      ldaa    PWORK
        cmpa    RESN
        bcc     8f
        xindex  RESK
        ldaa    0,x
        anda    #0x7F
        cmpa    #K_ARC
        beq     5f
        inc     PWORK
        bra     4b
5:      ldaa    PWORK
        staa    RESI
        jmp     show_result
8:      tst     KEYSAVE
        beq     key_equals
9:      rts

; ------------------------------------------------------------ checks
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

; X = an input slot -> ACC = the whole count it holds; C set when it has
; a decimal (counts of stitches, rows and times are whole). Keeps X.
ld_count:
        jsr     ldacc
        pshx
        ldi32   OPR, 10
        jsr     div32
        pulx
        ldaa    REM+3
        beq     1f
        sec
        rts
1:      clc
        rts

calc_fail:
        sec
        rts

; ------------------------------------------------------------ gauge
; Gauge given: S and R are stitches and rows per 10 cm. One of them alone
; replaces that half of the gauge held.
calc_gauge:
        ldx     #IN_S
        ldaa    #F_S
        bsr     gauge_half
        bcs     calc_fail
        mov32   NEWS, ACC
        ldx     #IN_R
        ldaa    #F_R
        bsr     gauge_half
        bcs     calc_fail
        mov32   NEWR, ACC
        bra     gauge_store

; A = the input's flag, X = the input (IN_S or IN_R): ACC = that input or,
; not given, the same half of the gauge held. C set when neither is there
; or the value is no gauge.
gauge_half:
        bsr     given
        bne     1f
        jsr     gauge_missing
        bcs     2f
        cpx     #IN_S
        bne     3f
        ldx     #GAUGE_S
        bra     1f
3:      ldx     #GAUGE_R
1:      jsr     ldacc
        bra     gauge_check
2:      rts

; A = input flags -> A = those of them given, Z set when none. B changes.
given:  ldab    INFLAGS
        eorb    #0xFF
        stab    PWORK
        eora    #0xFF
        oraa    PWORK                   ; not (flags and given) ...
        eora    #0xFF                   ; ... inverted: flags and given
        rts

; Gauge from a swatch: S stitches over X cm, R rows over Y cm, per 10 cm
; rounded to 0.1. A pair may be left out to keep that half of the gauge.
; The counts may have a decimal (half a stitch seen over the swatch).
calc_swatch:
        ldaa    INFLAGS
        anda    #F_S | F_R | F_X | F_Y
        beq     calc_fail               ; nothing counted at all
        ldx     #IN_S
        ldaa    #F_S | F_X
        bsr     swatch_half
        bcs     calc_fail
        mov32   NEWS, ACC
        ldx     #IN_R
        ldaa    #F_R | F_Y
        bsr     swatch_half
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
        ldaa    #K_GS | DEC1
        jsr     res_add
        mov32   ACC, GAUGE_R
        ldaa    #K_GR | DEC1
        jsr     res_add
        clc
        rts

; A = the pair's flags, X = its count (IN_S or IN_R; the size, IN_X or
; IN_Y, lies two slots on): ACC = count * 10 / size per 10 cm, or the half
; held when the pair is left out. C set when half a pair is given or no
; gauge results.
swatch_half:
        staa    KEYSAVE
        bsr     given
        beq     2f
        cmpa    KEYSAVE
        bne     1f                      ; half a pair
        jsr     ldacc
        ldi32   T1, 100                 ; per 10 cm, or 40: per 4 in
        jsr     units_in
        bcc     3f
        ldi32   T1, 40
3:      ldaa    #8
        jsr     x_plus_a
        jsr     ldopr
        mov32   T2, OPR
        jsr     muldivround
        bcs     1f
        jmp     gauge_check
1:      sec
        rts
2:      ldaa    KEYSAVE
        anda    #F_S | F_R
        bra     gauge_half

; ------------------------------------------------------------ straight line
; Centimetres to count: stitches = X * gauge / 10, rows = Y * gauge / 10,
; rounded to whole stitches and rows.
calc_cm:
        jsr     gauge_missing
        bcs     cm_fail
        ldaa    INFLAGS
        anda    #F_X | F_Y
        beq     cm_fail
        ldaa    #1
        staa    GUSED
        ldaa    INFLAGS
        anda    #F_X
        beq     1f
        lacc    IN_X
        mov32   T1, GAUGE_S
        ldab    #K_ST
        bsr     cm_to
        bcs     cm_fail
1:      ldaa    INFLAGS
        anda    #F_Y
        beq     2f
        lacc    IN_Y
        mov32   T1, GAUGE_R
        ldab    #K_ROWS
        bsr     cm_to
        bcs     cm_fail
2:      clc
        rts
cm_fail:
        sec
        rts

; ACC = tenths of a cm, T1 = the gauge, B = the result's kind.
cm_to:  pshb
        jsr     unit_t2
        jmp     scaled_result

; Count to centimetres: X = S * 10 / gauge, Y = R * 10 / gauge, to 0.1 cm.
; The counts are whole.
calc_count:
        jsr     gauge_missing
        bcs     cm_fail
        ldaa    INFLAGS
        anda    #F_S | F_R
        beq     cm_fail
        ldaa    #1
        staa    GUSED
        ldaa    INFLAGS
        anda    #F_S
        beq     1f
        ldx     #IN_S
        jsr     ld_count
        bcs     cm_fail
        mov32   T2, GAUGE_S
        ldab    #K_WIDE | DEC1
        bsr     count_to
        bcs     cm_fail
1:      ldaa    INFLAGS
        anda    #F_R
        beq     2f
        ldx     #IN_R
        jsr     ld_count
        bcs     cm_fail
        mov32   T2, GAUGE_R
        ldab    #K_HIGH | DEC1
        bsr     count_to
        bcs     cm_fail
2:      clc
        rts

; ACC = a whole count, T2 = the gauge, B = the result's kind.
count_to:
        pshb
        mov32   NEWS, T2
        jsr     unit_t2
        mov32   T1, T2
        mov32   T2, NEWS
; ACC * T1 / T2 rounded, as a result of kind B (pushed); C set when it does
; not fit.
scaled_result:
        jsr     muldivround
        pulb
        bcs     1f
        jsr     fits4
        bcs     1f
        tba
        jmp     res_add
1:      rts

; ------------------------------------------------------------ results
; A = the kind (DEC1 for one decimal), ACC = the value, below 10000.
res_add:
        ldab    RESN
        cmpb    #RESMAX
        bcs     1f
        ldab    #1                      ; full: the calculation will fail
        stab    RESFULL
        rts
1:      psha
        ldaa    RESN
        xindex  RESK
        pula
        staa    0,x
        ldaa    RESN
        asla
        xindex  RESV
        ldaa    ACC+2
        staa    0,x
        ldaa    ACC+3
        staa    1,x
        inc     RESN
        rts

; A = result index -> ACC = value, FMTDEC = decimals, RKIND = kind.
res_load:
        psha
        asla
        xindex  RESV
        clr     ACC
        clr     ACC+1
        ldaa    0,x
        staa    ACC+2
        ldaa    1,x
        staa    ACC+3
        pula
        xindex  RESK
        ldaa    0,x
        clr     FMTDEC
        asla                            ; C = DEC1
        rol     FMTDEC
        lsra
        staa    RKIND
        rts

; The result on show; the ARC LENGTH lamp is lit while it is an arc length.
show_result:
        ldaa    RESI
        bsr     res_load
        ldaa    LAMPS
        anda    #~LAMP_ARC & 0xFF
        ldab    RKIND
        cmpb    #K_ARC
        bne     1f
        oraa    #LAMP_ARC
1:      staa    LAMPS
        jsr     set_lamps
        jmp     show_number

        .sect .rodata.calc,"a"

; The input letters each function A-I takes: bit 0 S, 1 R, 2 X, 3 Y, 4 Z.
fn_letters:
        .byte   F_S | F_R                       ; A gauge
        .byte   F_S | F_R | F_X | F_Y           ; B swatch
        .byte   F_X | F_Y                       ; C cm to count
        .byte   F_S | F_R                       ; D count to cm
        .byte   F_S | F_R | F_X | F_Y | F_Z     ; E dividing: n as S R X or Y, k as Z
        .byte   F_S | F_R | F_X | F_Y | F_Z     ; F
        .byte   F_X | F_Y | F_Z                 ; G slant
        .byte   F_X | F_Y                       ; H curve
        .byte   F_X | F_Y | F_Z                 ; I cap

; The printer test: every character of the font, four lines (each ended by
; 1), then 0.
test_lines:
        .ascii  "0123456789.,-+=/"
        .byte   1
        .ascii  "ABCDEFGHIJKLMNOP"
        .byte   1
        .ascii  "QRSTUVWXYZ:()%*#"
        .byte   1
        .ascii  "\"<>bdin"
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
        .equ    KEY_COUNT, (jt_keys_end - jt_keys) / 2

; ------------------------------------------------------------ printing
; A result block: the title, the gauge when the calculation used it, the
; inputs given, the results, then one line of paper. A value line is the
; number right-aligned in five columns, a blank and its label, so numbers
; never touch words; a schedule line is "-a/r/n". "bd" prints cm and a
; double quote prints x.
        .sect .text.print,"ax"
print_block:
        clr     PBMAP
        jsr     units_in
        rol     PBMAP
        ldaa    FUNC
        suba    #FN_A
        asla
        xindex  t_titles
        jsr     x_deref
        jsr     print_text
        ldaa    LAMPS                   ; MODE lit: a slant per side, a
        anda    #LAMP_MODE              ; curve at each side
        beq     1f
        ldx     #t_perside
        ldaa    FUNC
        cmpa    #FN_G
        beq     10f
        ldx     #t_eachside
        cmpa    #FN_H
        bne     1f
10:     jsr     print_text
1:      ldaa    FUNC                    ; curves and caps: the edge shaped
        ldx     #t_neckedge
        cmpa    #FN_H
        beq     11f
        ldx     #t_armedge
        cmpa    #FN_I
        bne     12f
11:     jsr     print_text
12:     tst     GUSED
        beq     2f
        mov32   ACC, GAUGE_S
        ldaa    #K_GS | DEC1
        jsr     print_value
        mov32   ACC, GAUGE_R
        ldaa    #K_GR | DEC1
        jsr     print_value
2:      jsr     print_inputs
        clr     RESI
3:      ldaa    RESI
        cmpa    RESN
        bcc     9f
        jsr     res_load
        ldaa    RKIND
        cmpa    #K_SCH
        bcc     5f
        cmpa    #K_SIDE
        bne     4f
        ldx     #t_eachside
        jsr     print_text
        ldaa    #K_ST
        staa    RKIND
4:      ldaa    RKIND                   ; a value and its label
        ldab    FMTDEC
        beq     6f
        oraa    #DEC1
6:      jsr     print_value
        bra     8f
5:      jsr     print_schedule
8:      inc     RESI
        bra     3b
9:      clr     RESI
        clr     PBMAP
        jmp     paper_feed

; The schedule line of the results from RESI on (amount, between, times):
; "-8/2/1". RESI is left on the last of the three.
print_schedule:
        jsr     pb_start
4:      ldaa    RKIND                   ; a group's lines stand a column
        cmpa    #K_IN                   ; in for each level
        bcs     5f
        suba    #K_IN
        staa    RKIND
        ldaa    #' '
        jsr     pb_char
        bra     4b
5:      ldaa    RKIND
        cmpa    #K_REP                  ; a group's repeats: "12x"
        bne     6f
        jsr     pb_numtrim
        ldaa    #'"'
        jsr     pb_char
        jmp     pb_emit
6:      ldaa    RKIND
        ldab    #'-'
        cmpa    #K_SCHM
        beq     1f
        ldab    #'+'
        cmpa    #K_SCHP
        bne     2f
1:      tba
        jsr     pb_char
2:      jsr     pb_numtrim
        ldab    #2
3:      pshb
        ldaa    #'/'
        jsr     pb_char
        inc     RESI
        ldaa    RESI
        jsr     res_load
        jsr     pb_numtrim
        pulb
        decb
        bne     3b
        jmp     pb_emit

; The inputs given, in the order the function's table lists them, each with
; the label for centimetres or, with M/T lit, for counts. Lengths show one
; decimal; counts show theirs only when they have one (a swatch's).
print_inputs:
        ldaa    FUNC
        suba    #FN_A
        asla
        xindex  t_inputs
        jsr     x_deref
1:      ldaa    0,x
        cmpa    #0xFF
        beq     9f
        pshx
        ldab    0,x                     ; the slot's flag given?
        jsr     slot_bit
        tba
        jsr     given
        beq     8f
        pulx
        pshx
        ldab    1,x                     ; the label: for cm, or for counts
        tst     SH_UNITS
        beq     2f
        ldab    2,x
2:      stab    RKIND
        ldaa    0,x
        jsr     input_slot
        jsr     ldacc
        ldaa    RKIND
        jsr     label_of
        ldaa    0,x
        cmpa    #'b'                    ; a label in cm: one decimal
        bne     3f
        ldaa    RKIND
        oraa    #DEC1
        bra     4f
3:      jsr     count_decimals
        ldaa    RKIND
        ldab    FMTDEC
        beq     4f
        oraa    #DEC1
4:      jsr     print_value
8:      pulx
        inx
        inx
        inx
        bra     1b
9:      rts

; ACC in tenths: a whole count loses its tenths digit (A = 0), else it is
; kept (A = DEC1). Sets FMTDEC to match.
count_decimals:
        mov32   T2, ACC
        ldi32   OPR, 10
        jsr     div32
        ldaa    REM+3
        beq     1f
        mov32   ACC, T2
        ldaa    #1
        staa    FMTDEC
        rts
1:      clr     FMTDEC
        rts

; A = kind (DEC1 for one decimal), ACC = value: "  110 ST".
print_value:
        clr     FMTDEC
        asla
        rol     FMTDEC
        lsra
        bsr     label_of                ; the label; one row is ROW PLAIN
        cmpa    #K_PLAINR
        bne     1f
        ldab    ACC+3
        decb
        orab    ACC+2
        bne     1f
        ldx     #l_rowplain
1:      pshx
        jsr     pb_start
        jsr     fmt_text
        ldx     #NUMTXT+4               ; the last five columns
2:      ldaa    0,x
        jsr     pb_char
        inx
        cpx     #NUMTXT+9
        bne     2b
        ldaa    #' '
        jsr     pb_char
        pulx
        jsr     pb_str
        jmp     pb_emit

; A = kind -> X = its label. Keeps A.
label_of:
        psha
        deca
        asla
        xindex  t_labels
        jsr     x_deref
        pula
        cmpa    #K_GR                   ; the gauge per 4 in
        bhi     1f
        tst     PBMAP
        beq     1f
        ldx     #l_gs4
        cmpa    #K_GS
        beq     1f
        ldx     #l_gr4
1:      rts

; X = text ended by 0: one line.
print_text:
        jsr     pb_start
        jsr     pb_str
        jmp     pb_emit

; ------------------------------------------------------------ print buffer
; Start a line. Keeps X.
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
        xindex  print_buffer
        pula
        tst     PBMAP                   ; in inches "bd" (cm) reads in
        beq     2f
        cmpa    #'b'
        bne     3f
        ldaa    #'i'
3:      cmpa    #'d'
        bne     2f
        ldaa    #'n'
2:      staa    0,x
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

; ACC with FMTDEC decimals, without leading blanks.
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
4:      staa    NUMTXT_OFS+1,x
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

        .sect .rodata.print,"a"
t_titles:
        .word   t_gauge, t_swatch, t_cm, t_count, t_divide, t_divplain
        .word   t_slant, t_curve, t_cap
t_gauge:    .asciz "GAUGE"
t_swatch:   .asciz "SWATCH GAUGE"
t_cm:       .asciz "bd TO ST/ROWS"
t_count:    .asciz "ST/ROWS TO bd"
t_divide:   .asciz "DIVIDING"
t_divplain: .asciz "DIVIDING, PLAIN"
t_slant:    .asciz "SLANTING LINE"
t_curve:    .asciz "CURVE LINE"
t_cap:      .asciz "SLEEVE CAP"
t_perside:  .asciz "PER SIDE"
t_eachside: .asciz "EACH SIDE"
t_neckedge: .asciz "AT NECK/ARM EDGE"
t_armedge:  .asciz "AT ARMHOLE EDGE"

; Labels by kind, K_GS (1) to K_ARMST. A label that starts with "bd" (cm)
; marks a length: its inputs print with one decimal.
t_labels:
        .word   l_gs, l_gr, l_st, l_rows, l_wide, l_high, l_times, l_plainr
        .word   l_plains, l_add, l_lose, l_end, l_arc, l_topst, l_st, l_from
        .word   l_to, l_stfrom, l_stto, l_arm, l_hole, l_top, l_armst
l_gs:       .asciz "ST/10 bd"
l_gr:       .asciz "ROWS/10 bd"
l_gs4:      .asciz "ST/4 bd"
l_gr4:      .asciz "ROWS/4 bd"
l_st:       .asciz "ST"
l_rows:     .asciz "ROWS"
l_wide:     .asciz "bd WIDE"
l_high:     .asciz "bd HIGH"
l_times:    .asciz "TIMES"
l_plainr:   .asciz "ROWS PLAIN"
l_rowplain: .asciz "ROW PLAIN"
l_plains:   .asciz "ST PLAIN"
l_add:      .asciz "ST TO ADD"
l_lose:     .asciz "ST TO LOSE"
l_end:      .asciz "ST AT END"
l_arc:      .asciz "bd ARC"
l_topst:    .asciz "ST AT TOP"
l_from:     .asciz "bd FROM"
l_to:       .asciz "bd TO"
l_stfrom:   .asciz "ST FROM"
l_stto:     .asciz "ST TO"
l_arm:      .asciz "bd ARM"
l_hole:     .asciz "bd ARMHOLE"
l_top:      .asciz "bd TOP"
l_armst:    .asciz "ST AT ARM"

; The inputs each function prints: slot, label in cm, label with M/T lit
; (counts); 0xFF ends a list.
t_inputs:
        .word   in_none, in_swatch, in_cm, in_count, in_divide, in_divide
        .word   in_slant, in_curve, in_cap
in_none:    .byte   0xFF
in_swatch:  .byte   SLOT_S, K_ST, K_ST, SLOT_X, K_WIDE, K_WIDE
            .byte   SLOT_R, K_ROWS, K_ROWS, SLOT_Y, K_HIGH, K_HIGH, 0xFF
in_cm:      .byte   SLOT_X, K_WIDE, K_WIDE, SLOT_Y, K_HIGH, K_HIGH, 0xFF
in_count:   .byte   SLOT_S, K_ST, K_ST, SLOT_R, K_ROWS, K_ROWS, 0xFF
in_divide:  .byte   SLOT_S, K_ST, K_ST, SLOT_R, K_ROWS, K_ROWS
            .byte   SLOT_X, K_WIDE, K_WIDE, SLOT_Y, K_HIGH, K_HIGH
            .byte   SLOT_Z, K_TIMES, K_TIMES, 0xFF
in_slant:   .byte   SLOT_X, K_FROM, K_STFROM, SLOT_Z, K_TO, K_STTO
            .byte   SLOT_Y, K_HIGH, K_ROWS, 0xFF
in_curve:   .byte   SLOT_X, K_WIDE, K_ST, SLOT_Y, K_HIGH, K_ROWS, 0xFF
in_cap:     .byte   SLOT_X, K_ARM, K_ARM, SLOT_Y, K_HOLE, K_HOLE
            .byte   SLOT_Z, K_TOP, K_TOP, 0xFF
