; The shaping functions: dividing (both forms), slanting line, curve line
; with its arc length, and sleeve cap. Each turns its inputs into whole
; stitches and rows, then lists a schedule whose steps add up exactly.

        .include "ram.inc"
        .include "macros.inc"

        .globl shape_compute, shape_print, ldacc

        .equ FN_E, 23
        .equ FN_F, 24
        .equ FN_G, 25
        .equ FN_H, 26
        .equ FN_I, 27
        .equ F_S, 0x01
        .equ F_R, 0x02
        .equ F_X, 0x04
        .equ F_Y, 0x08
        .equ F_Z, 0x10
        .equ LAMP_MODE, 0x02
        .equ LAMP_MT, 0x08
        .equ MAX_STEP, 6                ; stitches one two-row step of a slant carries

        ; 32-bit moves through X, far shorter than mov32 in line
        .macro  lacc v
        ldx     #\v
        jsr     ldacc
        .endm
        .macro  lopr v
        ldx     #\v
        jsr     ldopr
        .endm
        .macro  sacc v
        ldx     #\v
        jsr     stacc
        .endm
        ; one result: A = its letter, B = decimals, value in ACC
        .macro  result letter, dec
        ldaa    #\letter
        ldab    #\dec
        jsr     res_add
        .endm

        .sect .text.shape,"ax"

; ------------------------------------------------------------ helpers
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

accopr: ldx     #ACC
        bra     ldopr

; OPR = B.
opr_b:  clr     OPR
        clr     OPR+1
        clr     OPR+2
        stab    OPR+3
        rts

acc_inc:
        ldab    #1
        bsr     opr_b
        jmp     add32

; ACC = |ACC - OPR|.
absdiff:
        jsr     sub32
        bcc     1f
        com     ACC                     ; negate: complement and add one
        com     ACC+1
        com     ACC+2
        com     ACC+3
        bra     acc_inc
1:      rts

; Z set when ACC = OPR.
eq32:   ldaa    ACC
        cmpa    OPR
        bne     1f
        ldaa    ACC+1
        cmpa    OPR+1
        bne     1f
        ldaa    ACC+2
        cmpa    OPR+2
        bne     1f
        ldaa    ACC+3
        cmpa    OPR+3
1:      rts

; ACC = an input in tenths as a whole count in direction B (0 stitches,
; 1 rows): typed as a count (SH_CNT) it is rounded to the nearest whole,
; typed in cm it goes through the gauge. C set when the gauge is missing
; or the count needs more than four digits.
to_dir: tst     SH_CNT
        beq     1f
        ldab    #10
        bsr     opr_b
        jsr     divround
        bra     3f
1:      pshb
        jsr     gauge_missing
        pulb
        bcs     9f
        ldi32   T2, 1000
        mov32   T1, GAUGE_S
        tstb
        beq     2f
        mov32   T1, GAUGE_R
2:      jsr     muldivround
        bcs     9f
3:      jmp     fits4
9:      rts

; ACC = a count in direction B as tenths of a cm through the gauge.
to_cm:  ldi32   T1, 1000
        mov32   T2, GAUGE_S
        tstb
        beq     1f
        mov32   T2, GAUGE_R
1:      jmp     muldivround

; ------------------------------------------------------------ dispatch
; After the function, a result list that overflowed counts as no solution.
shape_compute:
        clr     RESFULL
        clr     SH_UNITS
        clr     SH_CNT
        ldaa    FUNC
        cmpa    #FN_G
        bcs     1f
        cmpa    #FN_I
        bcc     1f
        ldaa    LAMPS                   ; slant and curve: M/T lit, counts
        anda    #LAMP_MT
        beq     1f
        ldaa    #1
        staa    SH_UNITS
        staa    SH_CNT
1:      bsr     2f
        bcs     3f
        tst     RESFULL
        bne     3f
        clc
        rts
3:      sec
        rts
2:      ldaa    FUNC
        cmpa    #FN_G
        bcs     calc_divide
        bne     4f
        jmp     calc_slant
4:      cmpa    #FN_H
        bne     5f
        jmp     calc_curve
5:      jmp     calc_cap

fail:   sec
        rts

; ------------------------------------------------------------ dividing
; k events (Z) over n stitches or rows: n typed as a count (S, R) or in cm
; (X, Y). With q = n div k, r = n mod k: k - r at every q-th and r at every
; (q+1)-th; F instead: k at every q-th, then r plain. With k > n each
; stitch or row carries k div n or one more.
calc_divide:
        ldaa    INFLAGS
        anda    #F_Z
        beq     fail
        ldaa    INFLAGS
        anda    #F_S | F_R | F_X | F_Y
        ldab    #1
        ldx     #IN_S
        cmpa    #F_S
        beq     1f
        ldx     #IN_R
        cmpa    #F_R
        beq     2f
        clrb
        ldx     #IN_X
        cmpa    #F_X
        beq     1f
        ldx     #IN_Y
        cmpa    #F_Y
        bne     fail                    ; none, or more than one
2:      ldaa    #1                      ; rows
        bra     3f
1:      clra                            ; stitches
3:      stab    SH_CNT
        staa    SH_DIR
        jsr     ldacc
        ldab    SH_DIR
        jsr     to_dir
        bcs     fail
        tst32   ACC
        beq     fail
        sacc    SH_N
        ldaa    #'S'
        suba    SH_DIR                  ; R for rows
        clrb
        jsr     res_add
        lacc    IN_Z                    ; k: a whole count
        ldab    #10
        jsr     opr_b
        jsr     divround
        jsr     fits4
        bcs     fail
        tst32   ACC
        beq     fail
        sacc    SH_K
        ldaa    #1
        staa    SH_MUL
        lacc    SH_N
        lopr    SH_K
        jsr     sub32
        bcs     5f                      ; k > n: several per stitch or row
        ldaa    #'V'
        staa    SH_KIND
        ldaa    FUNC
        cmpa    #FN_F
        beq     4f
        jsr     divsched
        clc
        rts
4:      lacc    SH_N                    ; k at every q-th, r plain
        lopr    SH_K
        jsr     div32
        result  'V', 0
        lacc    SH_K
        result  'T', 0
        lacc    REM
        result  'P', 0
        clc
        rts
5:      lacc    SH_K                    ; big and small change places
        sacc    SH_U
        lacc    SH_N
        sacc    SH_K
        lacc    SH_U
        sacc    SH_N
        ldaa    #'A'
        staa    SH_KIND
        jsr     divsched
        clc
        rts

; SH_N over SH_K parts (SH_K <= SH_N): q = N div K, r = N mod K; the
; results kind q*MUL x (K - r), then kind (q+1)*MUL x r when r > 0.
divsched:
        lacc    SH_N
        lopr    SH_K
        jsr     div32
        sacc    SH_Q
        lacc    REM
        sacc    SH_R
        lacc    SH_K
        lopr    SH_R
        jsr     sub32
        sacc    SH_C1
        lacc    SH_Q
        bsr     mulk
        ldaa    SH_KIND
        clrb
        jsr     res_add
        lacc    SH_C1
        result  'T', 0
        lacc    SH_R
        tst32   ACC
        beq     1f
        lacc    SH_Q
        jsr     acc_inc
        bsr     mulk
        ldaa    SH_KIND
        clrb
        jsr     res_add
        lacc    SH_R
        result  'T', 0
1:      rts

mulk:   ldab    SH_MUL
        jsr     opr_b
        jmp     mul32

; ------------------------------------------------------------ slanting line
; From width X to width Z over height Y (MODE lit: per side, half the
; difference at each edge), shaped at two-row steps: D stitches over
; U = Y div 2 steps, every 2q rows or 2q + 2; steeper than a step per two
; rows, each step carries q or q + 1 stitches (at most MAX_STEP). An odd
; row is left plain at the end.
calc_slant:
        ldaa    INFLAGS
        anda    #F_X | F_Y | F_Z
        cmpa    #F_X | F_Y | F_Z
        bne     fail2
        lacc    IN_X
        clrb
        jsr     to_dir
        bcs     fail2
        sacc    SH_X
        lacc    IN_Z
        clrb
        jsr     to_dir
        bcs     fail2
        sacc    SH_N
        lacc    IN_Y
        ldab    #1
        jsr     to_dir
        bcs     fail2
        sacc    SH_Y
        lacc    SH_X
        lopr    SH_N
        jsr     absdiff
        ldaa    LAMPS
        anda    #LAMP_MODE
        beq     1f
        ldab    #2                      ; per side, to the nearest
        jsr     opr_b
        jsr     divround
1:      tst32   ACC
        beq     fail2
        sacc    SH_K
        result  'S', 0
        lacc    SH_Y
        result  'R', 0
        lacc    SH_Y
        ldab    #2
        jsr     opr_b
        jsr     div32
        sacc    SH_U
        tst32   ACC
        beq     fail2
        lacc    REM
        sacc    SH_P
        lacc    SH_U
        lopr    SH_K
        jsr     sub32
        bcs     2f                      ; more stitches than steps
        lacc    SH_U
        sacc    SH_N
        ldaa    #'V'
        staa    SH_KIND
        ldaa    #2
        staa    SH_MUL
        jsr     divsched
        bra     3f
2:      lacc    SH_K                    ; D over U steps
        sacc    SH_N
        lacc    SH_U
        sacc    SH_K
        ldaa    #'A'
        staa    SH_KIND
        ldaa    #1
        staa    SH_MUL
        jsr     divsched
        lacc    SH_Q                    ; the largest step must be carried
        tst32   SH_R
        beq     4f
        jsr     acc_inc
4:      ldi32   OPR, MAX_STEP + 1
        jsr     sub32
        bcc     fail2
3:      lacc    SH_P
        result  'P', 0
        clc
        rts

fail2:  sec
        rts

; ------------------------------------------------------------ curve line
; A quarter ellipse of width X and height Y: stitches S, rows R, then the
; stitches per two-row step (first the largest) grouped as "n x times", the
; odd row plain, and the arc length L in cm (counts need the gauge for it).
calc_curve:
        ldaa    INFLAGS
        anda    #F_X | F_Y
        cmpa    #F_X | F_Y
        bne     fail2
        lacc    IN_X
        clrb
        jsr     to_dir
        bcs     fail2
        sacc    SH_X
        result  'S', 0
        lacc    IN_Y
        ldab    #1
        jsr     to_dir
        bcs     fail2
        sacc    SH_Y
        result  'R', 0
        jsr     curve_rows
        bcs     fail2
        tst     SH_CNT
        bne     1f
        lacc    IN_X
        sacc    AR_A
        lacc    IN_Y
        sacc    AR_B
        bra     2f
1:      jsr     gauge_missing
        bcs     3f                      ; counts without a gauge: no length
        lacc    SH_X
        clrb
        jsr     to_cm
        bcs     fail2
        sacc    AR_A
        lacc    SH_Y
        ldab    #1
        jsr     to_cm
        bcs     fail2
        sacc    AR_B
2:      jsr     arclen
        bcs     fail2
        jsr     fits4
        bcs     fail2
        result  'L', 1
3:      clc
        rts

; SH_X stitches over SH_Y rows as m = Y div 2 two-row steps. The curve
; has cast off C(i) = X sqrt(m^2 - (m - i)^2) / m stitches by step i, to the
; nearest: C = (isqrt(4 X^2 D) div m + 1) div 2 with D = m^2 - (m - i)^2.
; Step i casts off C(i) - C(i - 1), and C(m) = X, so the steps add up.
; Up to the last step of two or more, equal steps in a row are one line
; ("EACH"); after it every step is 0 or 1, and the single stitches are
; listed by the rows between them ("EVERY"), as a knitter writes a
; neckline; the two-row steps after the last stitch join the plain rows.
curve_rows:
        lacc    SH_Y
        ldab    #2
        jsr     opr_b
        jsr     div32
        sacc    SH_M
        tst32   ACC
        beq     8f
        lacc    REM
        sacc    SH_P
        lacc    SH_X
        tst32   ACC
        beq     8f
        lopr    SH_X
        jsr     mul32
        bcs     8f
        sacc    SH_XX
        lopr    SH_M                    ; 4 X^2 m^2 must fit 32 bits
        jsr     mul32
        bcs     8f
        lopr    SH_M
        jsr     mul32
        bcs     8f
        ldab    #4
        jsr     opr_b
        jsr     mul32
        bcc     9f
8:      sec
        rts
9:      clr32   SH_L                    ; first pass: the last step of two or more
        jsr     curve_start
1:      jsr     curve_next
        lacc    SH_S
        ldi32   OPR, 2
        jsr     sub32
        bcs     2f
        lacc    SH_I
        sacc    SH_L
2:      jsr     curve_end
        bne     1b
        jsr     curve_start             ; second pass: the listing
        clr32   SH_GN
        clr32   SH_Z
3:      jsr     curve_next
        lacc    SH_L
        lopr    SH_I
        jsr     sub32
        bcs     4f                      ; past the last large step
        lacc    SH_S
        ldaa    #'A'
        bsr     group_add
        bra     6f
4:      lacc    SH_S
        tst32   ACC
        bne     5f
        lacc    SH_Z                    ; a step with nothing cast off
        jsr     acc_inc
        sacc    SH_Z
        bra     6f
5:      lacc    SH_Z                    ; one stitch, 2 (Z + 1) rows on
        jsr     acc_inc
        ldab    #2
        jsr     mulk2
        ldaa    #'V'
        bsr     group_add
        clr32   SH_Z
6:      jsr     curve_end
        bne     3b
        bsr     group_out
        lacc    SH_Z                    ; plain: the empty steps and an odd row
        ldab    #2
        jsr     mulk2
        lopr    SH_P
        jsr     add32
        result  'P', 0
        clc
        rts

; ACC = a group's value, A = its kind: counts it in, or closes the group
; before and opens a new one.
group_add:
        psha
        tst32   SH_GN
        beq     2f
        pula
        psha
        cmpa    SH_KIND
        bne     1f
        lopr    SH_G
        jsr     eq32
        bne     1f
        pula
        lacc    SH_GN                   ; the same again
        jsr     acc_inc
        sacc    SH_GN
        rts
1:      sacc    SH_T                    ; keep the new value over the output
        bsr     group_out
        lacc    SH_T
2:      pula
        staa    SH_KIND
        sacc    SH_G
        ldi32   SH_GN, 1
        rts

group_out:
        lacc    SH_G
        ldaa    SH_KIND
        clrb
        jsr     res_add
        lacc    SH_GN
        result  'T', 0
        rts

; ACC *= B.
mulk2:  jsr     opr_b
        jmp     mul32

curve_start:
        clr32   SH_PREV
        clr32   SH_I
        rts

; Z set after the last step.
curve_end:
        lacc    SH_I
        lopr    SH_M
        jmp     eq32

; The next step: SH_I + 1, its cast-off in SH_S.
curve_next:
        lacc    SH_I
        jsr     acc_inc
        sacc    SH_I
        lacc    SH_M                    ; j = m - i
        lopr    SH_I
        jsr     sub32
        jsr     accopr
        jsr     mul32
        sacc    SH_T                    ; j^2
        lacc    SH_M
        lopr    SH_M
        jsr     mul32
        lopr    SH_T
        jsr     sub32                   ; D
        lopr    SH_XX
        jsr     mul32
        ldab    #4
        jsr     opr_b
        jsr     mul32
        sacc    SQN
        jsr     isqrt
        lopr    SH_M
        jsr     div32
        jsr     acc_inc
        ldab    #2
        jsr     opr_b
        jsr     div32
        sacc    SH_C
        lopr    SH_PREV
        jsr     sub32
        sacc    SH_S
        lacc    SH_C
        sacc    SH_PREV
        rts

        .sect .text.shape2,"ax"

; ------------------------------------------------------------ sleeve cap
; Upper-arm width X, armhole length along its curve Y (front or back: each
; side of the cap matches one), top width Z, all in cm. Each side of the cap
; narrows by w = (X - Z) / 2 along a quarter ellipse whose arc length is Y:
; the height h is found by halving the interval [0, Y] until the two ends
; are 0.1 cm apart, taking the upper end. Results: height H in cm, rows R,
; stitches S to lose each side, the steps as for a curve, the plain row,
; the stitches Z left at the top, and the arc length L that the rounded
; schedule makes.
calc_cap:
        jsr     gauge_missing
        bcs     fail3
        ldaa    INFLAGS
        anda    #F_X | F_Y | F_Z
        cmpa    #F_X | F_Y | F_Z
        bne     fail3
        lacc    IN_X
        lopr    IN_Z
        jsr     sub32
        bcs     fail3                   ; top wider than the arm
        tst32   ACC
        beq     fail3
        ldab    #2
        jsr     opr_b
        jsr     divround
        sacc    CP_W
        lacc    IN_Y                    ; the armhole must be longer than w
        lopr    CP_W
        jsr     sub32
        bcs     fail3
        tst32   ACC
        beq     fail3
        clr32   CP_LO
        lacc    IN_Y
        sacc    CP_HI
        sacc    AR_B                    ; the longest cap must still fit
        lacc    CP_W
        sacc    AR_A
        jsr     arclen
        bcs     fail3
1:      lacc    CP_HI
        lopr    CP_LO
        jsr     sub32
        ldi32   OPR, 2
        jsr     sub32
        bcs     3f                      ; hi - lo < 2: hi - lo = 1
        lacc    CP_LO
        lopr    CP_HI
        jsr     add32
        ldab    #2
        jsr     opr_b
        jsr     div32
        sacc    AR_B
        lacc    CP_W
        sacc    AR_A
        jsr     arclen
        lopr    IN_Y
        jsr     sub32
        lacc    AR_B
        bcs     2f
        sacc    CP_HI                   ; long enough: the height is at most this
        bra     1b
2:      sacc    CP_LO
        bra     1b
3:      lacc    CP_HI
        jsr     fits4
        bcs     fail3
        result  'H', 1
        lacc    CP_HI
        ldab    #1
        jsr     to_dir
        bcs     fail3
        sacc    SH_Y
        result  'R', 0
        lacc    IN_X
        clrb
        jsr     to_dir
        bcs     fail3
        sacc    SH_N
        lacc    IN_Z
        clrb
        jsr     to_dir
        bcs     fail3
        sacc    SH_K
        lacc    SH_N
        lopr    SH_K
        jsr     sub32
        ldab    #2
        jsr     opr_b
        jsr     div32                   ; an odd stitch stays at the top
        tst32   ACC
        beq     fail3
        sacc    SH_X
        result  'S', 0
        lacc    SH_X
        jsr     accopr
        jsr     add32
        jsr     accopr
        lacc    SH_N
        jsr     sub32
        sacc    CP_T
        jsr     curve_rows
        bcs     fail3
        lacc    CP_T
        result  'Z', 0
        lacc    SH_X                    ; the length the schedule makes
        clrb
        jsr     to_cm
        bcs     fail3
        sacc    AR_A
        lacc    SH_Y
        ldab    #1
        jsr     to_cm
        bcs     fail3
        sacc    AR_B
        jsr     arclen
        bcs     fail3
        jsr     fits4
        bcs     fail3
        result  'L', 1
        clc
        rts

fail3:  sec
        rts

; ACC = arc length of a quarter ellipse with half-axes AR_A and AR_B (tenths
; of a cm), to 0.1: pi/4 (s + 3 d^2 / (10 s + sqrt(4 s^2 - 3 d^2))) with
; s = a + b, d = |a - b|, a closed form that stays within a few parts in
; ten thousand for any shape and far closer for usual ones. Scaled by 16
; for precision; pi/4 is 355/452. C set when a + b exceeds 200 cm.
arclen: lacc    AR_A
        lopr    AR_B
        jsr     add32
        sacc    AR_S
        ldi32   OPR, 2001
        jsr     sub32
        bcc     9f
        lacc    AR_A
        lopr    AR_B
        jsr     absdiff
        sacc    AR_D
        lacc    AR_S                    ; 4 s^2
        jsr     accopr
        jsr     mul32
        ldab    #4
        jsr     opr_b
        jsr     mul32
        sacc    AR_W
        lacc    AR_D                    ; - 3 d^2
        jsr     accopr
        jsr     mul32
        ldab    #3
        jsr     opr_b
        jsr     mul32
        jsr     accopr
        lacc    AR_W
        jsr     sub32
        ldi32   OPR, 256
        jsr     mul32
        sacc    SQN
        jsr     isqrt                   ; 16 sqrt(4 s^2 - 3 d^2)
        sacc    AR_W
        lacc    AR_S
        ldab    #160
        jsr     opr_b
        jsr     mul32
        lopr    AR_W
        jsr     add32
        sacc    AR_W                    ; 16 (10 s + sqrt(...))
        lacc    AR_D
        jsr     accopr
        jsr     mul32
        ldi32   OPR, 768
        jsr     mul32
        lopr    AR_W
        jsr     divround                ; 16 * 3 d^2 / (10 s + ...)
        sacc    AR_D
        lacc    AR_S
        ldab    #16
        jsr     opr_b
        jsr     mul32
        lopr    AR_D
        jsr     add32
        ldi32   OPR, 355
        jsr     mul32
        ldi32   OPR, 7232               ; 452 * 16
        jsr     divround
        clc
        rts
9:      sec
        rts

; ACC = floor(sqrt(SQN)), digit by digit in base 2: each pass brings the
; next two bits of SQN into the remainder SQT and takes the trial divisor
; 2 root + 1 from it when it fits; no multiplication, 16 passes.
isqrt:  clr32   SQR
        clr32   SQT
        ldaa    #16
        staa    SQB
1:      ldab    #2
2:      clc
        rol     SQN+3
        rol     SQN+2
        rol     SQN+1
        rol     SQN
        rol     SQT+3
        rol     SQT+2
        rol     SQT+1
        rol     SQT
        decb
        bne     2b
        clc                             ; root * 2
        rol     SQR+3
        rol     SQR+2
        rol     SQR+1
        rol     SQR
        lacc    SQR                     ; trial 2 root + 1
        clc
        rol     ACC+3
        rol     ACC+2
        rol     ACC+1
        rol     ACC
        ldaa    ACC+3
        oraa    #1
        staa    ACC+3
        jsr     accopr
        lacc    SQT
        jsr     sub32
        bcs     3f                      ; does not fit: the bit is 0
        sacc    SQT
        inc     SQR+3                   ; even after the doubling: no carry
3:      dec     SQB
        bne     1b
        lacc    SQR
        rts

; ------------------------------------------------------------ printing
; Title (PER SIDE under a slant with MODE lit), the gauge when one is held,
; the inputs, then the results: "EVERY   6 x   4" is every 6th stitch or
; row, 4 times; "EACH    2 x   3" is 2 at each step, 3 times; "PLAIN" the
; rows left plain; the rest a letter, the number and its unit.
shape_print:
        ldaa    FUNC
        suba    #FN_E
        asla
        xplusa  t_shapes
        ldaa    0,x
        ldab    1,x
        staa    TMPW
        stab    TMPW+1
        ldx     TMPW
        jsr     print_text
        ldaa    FUNC
        cmpa    #FN_G
        bne     1f
        ldaa    LAMPS
        anda    #LAMP_MODE
        beq     1f
        ldx     #t_perside
        jsr     print_text
1:      jsr     gauge_missing
        bcs     2f
        jsr     print_gauge
2:      bsr     shape_inputs
        clr     RESI
3:      ldaa    RESI
        cmpa    RESN
        bcc     9f
        jsr     res_load
        ldaa    LETTER
        ldx     #w_every
        cmpa    #'V'
        beq     5f
        ldx     #w_each
        cmpa    #'A'
        beq     5f
        ldx     #w_plain
        cmpa    #'P'
        beq     6f
        ldx     #u_cm                   ; H and L are lengths
        cmpa    #'H'
        beq     4f
        cmpa    #'L'
        beq     4f
        ldx     #u_rows
        cmpa    #'R'
        beq     4f
        ldx     #u_st
4:      jsr     print_item
        bra     8f
5:      bsr     word_num                ; a pair: the value, x, its times
        ldaa    #' '
        jsr     pb_char
        ldaa    #'"'
        jsr     pb_char
        inc     RESI
        ldaa    RESI
        jsr     res_load
        bsr     pb_num4
        jsr     pb_emit
        bra     8f
6:      bsr     word_num
        ldx     #u_prows                ; plain rows, or stitches when
        ldaa    FUNC                    ; dividing a width
        cmpa    #FN_G
        bcc     7f
        tst     SH_DIR
        bne     7f
        ldx     #u_pst
7:      jsr     pb_str
        jsr     pb_emit
8:      inc     RESI
        bra     3b
9:      clr     RESI
        jmp     paper_feed

; X = a five-letter word: the line starts with it and ACC in four columns.
word_num:
        pshx
        jsr     pb_start
        pulx
        jsr     pb_str
        ; fall through

; ACC (FMTDEC decimals) in four columns, right-aligned.
pb_num4:
        jsr     fmt_text
        ldx     #NUMTXT+5
1:      ldaa    0,x
        jsr     pb_char
        inx
        cpx     #NUMTXT+9
        bne     1b
        rts

; The inputs given, S R X Y Z. X Y Z are cm unless M/T made them counts;
; dividing's Z counts the events.
shape_inputs:
        clr     KEYSAVE
1:      ldaa    INFLAGS
        ldab    KEYSAVE
2:      tstb
        beq     3f
        lsra
        decb
        bra     2b
3:      lsra
        bcc     8f
        ldaa    KEYSAVE
        asla
        asla
        xplusa  IN_S
        jsr     ldacc
        ldaa    KEYSAVE
        xplusa  t_letters
        ldaa    0,x
        staa    LETTER
        ldaa    #1
        staa    FMTDEC
        ldaa    KEYSAVE
        ldx     #u_st
        tsta
        beq     6f
        ldx     #u_rows
        cmpa    #1
        beq     6f
        cmpa    #4
        bne     4f
        ldab    FUNC
        cmpb    #FN_G
        bcc     4f
        ldx     #u_times                ; dividing's Z
        bra     6f
4:      ldx     #u_cm
        tst     SH_UNITS
        beq     7f
        ldx     #u_rows                 ; as counts: Y rows, X and Z stitches
        cmpa    #3
        beq     6f
        ldx     #u_st
6:      pshx
        jsr     count_decimals
        pulx
7:      jsr     print_item
8:      inc     KEYSAVE
        ldaa    KEYSAVE
        cmpa    #5
        bne     1b
        rts

        .sect .rodata.shape,"a"
t_shapes:
        .word   t_divide, t_divplain, t_slant, t_curve, t_cap
t_divide:   .asciz "DIVIDING"
t_divplain: .asciz "DIVIDING, PLAIN"
t_slant:    .asciz "SLANTING LINE"
t_curve:    .asciz "CURVE LINE"
t_cap:      .asciz "SLEEVE CAP"
t_perside:  .asciz "PER SIDE"
t_letters:  .ascii "SRXYZ"
w_every:    .asciz "EVERY"
w_each:     .asciz "EACH "
w_plain:    .asciz "PLAIN"
u_prows:    .asciz " ROWS"
u_pst:      .asciz " ST"
u_st:       .asciz "ST"
u_rows:     .asciz "ROWS"
u_cm:       .asciz "bd"
u_times:    .asciz "TIMES"
