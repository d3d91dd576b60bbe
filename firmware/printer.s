; The needle printer on port 6: paper feed, print one line and the long
; alarm pause, each at its fixed address. Bit 7 runs the motor, bits 0-3
; fire the four needles; bit 4 pulses once a step, bit 5 once a pass at home.
; Each needle prints four characters of the 16: needle n, characters 4n-4n+3.

        .include "defs.inc"
        .include "macros.inc"

        .globl paper_feed, print_line, long_delay
        .equ FONT_CODES, 0x4F           ; the font holds codes 0x20-0x6E
        .equ WAIT_LIMIT, 2000           ; port reads before the mechanism counts as stuck
        .equ PASSES, 7                  ; one per dot row
        .equ TAIL_STEPS, 72             ; after the last pass ...
        .equ HOME_STEPS, 168            ; ... a home pulse, then these

; ------------------------------------------------------------ paper_feed
; Feed the paper by one line: seven passes of a home pulse and 84 steps.
; The step counter holds 84 at each home pulse, which marks a feed.
; Changes A, B and X.
        .sect .feed,"ax"
paper_feed:
        clr     PORT6                   ; mechanism from rest
        ldaa    #0x80
        staa    *PORT6                  ; motor on
        ldaa    #PASSES
        staa    PPASS
1:      ldaa    #FEED_STEPS
        staa    step_counter
        jsr     wait_home
2:      jsr     wait_step
        dec     step_counter
        bne     2b
        dec     PPASS
        bne     1b
        clr     PORT6                   ; motor off
        rts

; The mechanism's answers. Every level is read twice before it counts.
; A mechanism that stops answering ends in the alarm and power-off.
wait_home:
        ldx     #WAIT_LIMIT
1:      dex
        beq     wait_timeout
        ldaa    *PORT6
        anda    #0x20
        beq     1b
        ldaa    *PORT6
        anda    #0x20
        beq     1b
2:      dex
        beq     wait_timeout
        ldaa    *PORT6
        anda    #0x20
        bne     2b
        ldaa    *PORT6
        anda    #0x20
        bne     2b
        rts

wait_step:
        bsr     wait_half
3:      dex
        beq     wait_timeout
        ldaa    *PORT6
        anda    #0x10
        beq     3b
        ldaa    *PORT6
        anda    #0x10
        beq     3b
        rts

wait_half:
        ldx     #WAIT_LIMIT
4:      dex
        beq     wait_timeout
        ldaa    *PORT6
        anda    #0x10
        bne     4b
        ldaa    *PORT6
        anda    #0x10
        bne     4b
        rts

wait_timeout:
        jmp     alarm

; ------------------------------------------------------------ print_line
; Print print_buffer's 16 characters (0x80 ends the line early). Seven passes,
; one dot row each; a pass is a home pulse and four groups of five columns,
; each group led by a step and the groups one step apart; a column is
; half-step, needles, step, half-step, step. Then 72 steps, a home pulse and
; 168 steps move the paper on. Changes A, B and X.
        .sect .print,"ax"
print_line:
        ldx     #print_buffer           ; PEND: characters before 0x80
        clr     PEND
1:      ldaa    0,x
        cmpa    #LINE_END
        beq     2f
        inc     PEND
        inx
        cpx     #print_buffer+16
        bne     1b
2:
        clr     step_counter            ; not 84: this is a print
        clr     PORT6
        ldaa    #0x80
        staa    *PORT6                  ; motor on
        clr     PPASS
pl_pass:
        jsr     wait_home
        clr     PGROUP
pl_group:
        jsr     wait_step               ; the step that leads a group
        clr     PCOL
pl_col: jsr     wait_half
        clr     PNEEDLE
        ldaa    #1
        staa    PBIT
pl_needle:
        ldaa    PNEEDLE
        asla
        asla
        adda    PGROUP                  ; character = needle * 4 + group
        jsr     glyph_column
        ldab    PPASS
5:      tstb
        beq     6f
        lsra
        decb
        bra     5b
6:      lsra                            ; C = the dot of this row
        ldaa    #0x80
        bcc     7f
        oraa    PBIT
7:      staa    *PORT6                  ; needle (or none) ...
        ldaa    #0x80
        staa    *PORT6                  ; ... and off again
        clc
        rol     PBIT
        inc     PNEEDLE
        ldaa    PNEEDLE
        cmpa    #4
        bne     pl_needle
        jsr     wait_step
        jsr     wait_half
        jsr     wait_step
        inc     PCOL
        ldaa    PCOL
        cmpa    #5
        bne     pl_col
        inc     PGROUP
        ldaa    PGROUP
        cmpa    #4
        beq     8f
        jsr     wait_step               ; the step between groups
        bra     pl_group
8:      inc     PPASS
        ldaa    PPASS
        cmpa    #PASSES
        bne     pl_pass
        ldaa    #TAIL_STEPS
        staa    step_counter
9:      jsr     wait_step
        dec     step_counter
        bne     9b
        jsr     wait_home
        ldaa    #HOME_STEPS
        staa    step_counter
10:     jsr     wait_step
        dec     step_counter
        bne     10b
        clr     PORT6                   ; motor off, the line is done
        rts

; A = character position 0-15 -> A = the dots of font column PCOL.
; Positions from the line's end on, and codes outside the font, print blank.
glyph_column:
        cmpa    PEND
        bcc     1f
        xindex  print_buffer
        ldaa    0,x
        suba    #0x20
        bcs     1f
        cmpa    #FONT_CODES
        bcc     1f
        staa    PWORK                   ; font + code * 5 + column, in
        asla                            ; parts below 256 each
        ldx     #font
        psha
        jsr     x_plus_a
        pula
        jsr     x_plus_a
        ldaa    PWORK
        adda    PCOL
        jsr     x_plus_a
        ldaa    0,x
        rts
1:      clra
        rts

; ------------------------------------------------------------ long_delay
; The pause between the alarm's beeps: 65,536 counts.
        .sect .alarmdelay,"ax"
long_delay:
        ldx     #0
1:      dex
        bne     1b
        rts
